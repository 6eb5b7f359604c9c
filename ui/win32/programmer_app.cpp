#include "ui/win32/programmer_app.h"

#include <string>

#include "app/main_dialog.h"
#include "platform/file_system.h"
#include "res/strings.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/win32_window.h"
#include "vendor/library_loader.h"

namespace win32ui {

bool ProgrammerApp::InitInstance() {
  vendor::Libraries libraries;
  std::string error;
  if (!vendor::LoadLibraries(platform::ProgramFolder(), &libraries, &error)) {
    // No window at all: a station without its chip libraries can do nothing.
    const std::wstring text = L"无法加载芯片库，程序退出。\nCannot load the chip library:\n" + platform::GbkToWide(error);
    MessageBoxW(nullptr, text.c_str(), platform::GbkToWide(res::kAppTitle).c_str(), MB_OK | MB_ICONERROR);
    return false;
  }

  Win32Window window(instance_);
  app::MainDialog dialog(window, *libraries.engine, *libraries.flash, *libraries.e2, transports_);
  window.Attach(&dialog);
  window.RunModal();
  // The window goes before the libraries its dialog was calling.
  return true;
}

}  // namespace win32ui
