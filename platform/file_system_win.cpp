#include "platform/file_system.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "platform/gbk.h"
#include "platform/final_path_win.h"
#include "platform/wide_text.h"

// windows.h names a macro after this function.
#undef SetCurrentDirectory

namespace platform {
namespace {

// Follows reparse points (symbolic links, junctions): the attributes of what a path names.
bool AttributesOf(const std::wstring& path, BY_HANDLE_FILE_INFORMATION* info) {
  HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = GetFileInformationByHandle(file, info) != 0;
  CloseHandle(file);
  return ok;
}


// The target of a shell shortcut (.lnk), through the shell's link object;
// empty when the file is none or cannot be read.
std::wstring ShellLinkTarget(const std::wstring& path) {
  HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::wstring result;
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t target[MAX_PATH] = {};
        if (SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_UNCPRIORITY))) result = target;
      }
      file->Release();
    }
    link->Release();
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return result;
}

}  // namespace

std::string CurrentDirectory() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return {};
  std::wstring buffer(size, L'\0');
  DWORD n = GetCurrentDirectoryW(size, buffer.data());
  if (n == 0 || n >= size) return {};
  buffer.resize(n);
  return WideToGbk(buffer);
}

bool SetCurrentDirectory(const std::string& path) { return SetCurrentDirectoryW(GbkToWide(path).c_str()) != 0; }

FileKind StatusOf(const std::string& path) {
  if (path.empty()) return FileKind::Missing;
  std::wstring wide = GbkToWide(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::Missing;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!AttributesOf(wide, &info)) return FileKind::Missing;  // a link to nothing
    attributes = info.dwFileAttributes;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::Folder;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return FileKind::Other;
  return FileKind::Regular;
}

// A shell shortcut is what the desktop drops here; a symbolic link is resolved
// as well, to the file it finally names.
std::string ResolveShortcut(const std::string& path) {
  if (path.empty()) return {};
  std::wstring wide = GbkToWide(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {};
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return WideToGbk(FinalPath(wide));
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return {};
  return WideToGbk(ShellLinkTarget(wide));
}

std::string ProgramFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return ".";
    if (n < buffer.size()) {
      std::wstring exe(buffer.data(), n);
      size_t slash = exe.find_last_of(L"\\/");
      return slash == std::wstring::npos ? std::string(".") : WideToGbk(exe.substr(0, slash));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  // A GBK trail byte can be 0x5C, so a folder ending in one is checked by its last character, not byte.
  if (folder.empty()) return name;
  size_t last = 0;
  for (size_t at = 0; at < folder.size(); at += (IsGbkLeadByte(static_cast<unsigned char>(folder[at])) && at + 1 < folder.size()) ? 2 : 1) {
    last = at;
  }
  if (last == folder.size() - 1 && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
  return folder + "\\" + name;
}

}  // namespace platform
