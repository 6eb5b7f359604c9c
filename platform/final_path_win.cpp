#include "platform/final_path_win.h"

#include <windows.h>

namespace platform {

std::wstring FinalPath(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::wstring result(MAX_PATH, L'\0');
  DWORD n = GetFinalPathNameByHandleW(file, result.data(), static_cast<DWORD>(result.size()), VOLUME_NAME_DOS);
  if (n >= result.size()) {
    result.resize(n + 1);
    n = GetFinalPathNameByHandleW(file, result.data(), static_cast<DWORD>(result.size()), VOLUME_NAME_DOS);
  }
  CloseHandle(file);
  if (n == 0 || n >= result.size()) return {};
  result.resize(n);
  if (result.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + result.substr(8);
  if (result.starts_with(L"\\\\?\\")) return result.substr(4);
  return result;
}

}  // namespace platform
