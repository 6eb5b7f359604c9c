// The target of a shell shortcut (.lnk), through the shell's link object.
#pragma once

#include <string>

namespace win32ui {

// The target path, or empty when `path` is no shortcut or cannot be read.
std::wstring ResolveShortcut(const std::wstring& path);

}  // namespace win32ui
