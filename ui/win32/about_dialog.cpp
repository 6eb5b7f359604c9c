#include "ui/win32/about_dialog.h"

#include "res/dialog_template.h"
#include "ui/win32/dialog_template.h"

namespace ui::win32 {
namespace {

INT_PTR CALLBACK AboutProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;  // the focus on OK, the box's default
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void ShowAboutDialog(HINSTANCE instance, HWND owner) {
  const InMemoryTemplate about(res::AboutDialogTemplate(),
                               WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0);
  DialogBoxIndirectParamW(instance, about.get(), owner, AboutProc, 0);
}

}  // namespace ui::win32
