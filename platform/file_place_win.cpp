#include "platform/file_place.h"

#include <windows.h>
#include <shlwapi.h>

#include "platform/final_path_win.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

std::wstring FullPath(const std::wstring& path) {
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  DWORD n = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (n == 0 || n >= size) return path;
  full.resize(n);
  return full;
}

std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

}  // namespace

bool OnNetworkFileSystem(const std::string& path) {
  std::wstring wide = FullPath(Utf8ToWide(path));
  // Where a link leads, when it leads anywhere (a mapped drive comes back as a UNC path).
  std::wstring final = FinalPath(wide);
  if (final.empty()) final = FinalPath(FolderOf(wide));
  if (!final.empty()) wide = final;
  if (PathIsUNCW(wide.c_str())) return true;
  std::wstring root(MAX_PATH + 1, L'\0');
  if (!GetVolumePathNameW(wide.c_str(), root.data(), static_cast<DWORD>(root.size()))) return false;
  return GetDriveTypeW(root.c_str()) == DRIVE_REMOTE;
}

unsigned HardLinkCount(const std::string& path) {
  HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info{};
  unsigned links = GetFileInformationByHandle(file, &info) ? static_cast<unsigned>(info.nNumberOfLinks) : 0;
  CloseHandle(file);
  return links;
}

}  // namespace platform
