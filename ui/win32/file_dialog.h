// The platform's standard open and save boxes, with the "A|*.x||" filters of the dialog.
#pragma once

#include <optional>
#include <string>

#include "ui/win32/windows_api.h"

namespace ui::win32 {

// "Files(*.bin)|*.bin||" as the platform's filter: pairs ended by NULs, the list by two.
std::wstring PlatformFilter(const std::wstring& filter);

std::optional<std::wstring> ChooseOpenFile(HWND owner, const std::wstring& filter);
std::optional<std::wstring> ChooseSaveFile(HWND owner, const std::wstring& filter, const std::wstring& fileName);

}  // namespace ui::win32
