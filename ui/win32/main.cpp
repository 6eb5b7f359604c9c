// Tarnwick: the station tool of the Bluetooth module production line, Windows front end.
#include "ui/win32/programmer_app.h"
#include "ui/win32/windows_api.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The shell's link object resolves dropped shortcuts.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  ui::win32::ProgrammerApp programmer(instance);
  const bool ran = programmer.InitInstance();
  if (SUCCEEDED(com)) CoUninitialize();
  return ran ? 0 : 1;
}
