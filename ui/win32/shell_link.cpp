#include "ui/win32/shell_link.h"

#include "ui/win32/windows_api.h"

namespace win32ui {

std::wstring ResolveShortcut(const std::wstring& path) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return {};
  }
  std::wstring target;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
      // The shell hands a shortcut's target out in a MAX_PATH buffer.
      wchar_t buffer[MAX_PATH] = {};
      if (SUCCEEDED(link->GetPath(buffer, MAX_PATH, nullptr, SLGP_UNCPRIORITY))) target = buffer;
    }
    file->Release();
  }
  link->Release();
  return target;
}

}  // namespace win32ui
