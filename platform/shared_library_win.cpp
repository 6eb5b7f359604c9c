#include "platform/shared_library.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace platform {
namespace {

// The system's own words for the error, and its number, as GBK.
std::string ErrorText(DWORD code) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring words = n > 0 && text != nullptr ? std::wstring(text, n) : std::wstring(L"cannot load");
  if (text != nullptr) LocalFree(text);
  while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ')) words.pop_back();
  return WideToGbk(words) + " (" + std::to_string(code) + ")";
}

}  // namespace

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::string& path, std::string* error) {
  // The library's own folder is searched first for what it needs in turn, so
  // vendor libraries that load each other find their siblings beside the program.
  HMODULE handle = LoadLibraryExW(GbkToWide(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (handle == nullptr) {
    DWORD code = GetLastError();
    if (error != nullptr) *error = ErrorText(code);
    return nullptr;
  }
  return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() { FreeLibrary(static_cast<HMODULE>(handle_)); }

void* SharedLibrary::Symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace platform
