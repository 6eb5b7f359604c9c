// Dialog 100, the About box, from its template.
#pragma once

#include "ui/win32/windows_api.h"

namespace win32ui {

void ShowAboutDialog(HINSTANCE instance, HWND owner);

}  // namespace win32ui
