// The platform's headers for this front end, in the order they need, with the
// macros that would rename the Window port's members taken back. Every file
// here includes this instead of <windows.h>.
#pragma once

// clang-format off
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
// clang-format on

#undef MessageBox
#undef IsMinimized
#undef LoadString
