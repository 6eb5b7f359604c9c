// Dialog 100, the About box, from its template.
#pragma once

#include "ui/win32/windows_api.h"

namespace ui::win32 {

void ShowAboutDialog(HINSTANCE instance, HWND owner);

}  // namespace ui::win32
