#include "ui/programmer_app.h"

#include <QMessageBox>

#include "app/main_dialog.h"
#include "controls/gbk_text.h"
#include "platform/file_system.h"
#include "res/strings.h"
#include "ui/qt_window.h"
#include "vendor/library_loader.h"

namespace ui {

bool ProgrammerApp::InitInstance() {
  vendor::Libraries libraries;
  std::string error;
  if (!vendor::LoadLibraries(platform::ProgramFolder(), &libraries, &error)) {
    // No window at all: a station without its chip libraries can do nothing.
    QMessageBox::critical(nullptr, controls::FromGbk(res::kAppTitle),
                          QStringLiteral("无法加载芯片库，程序退出。\nCannot load the chip library:\n%1")
                              .arg(controls::FromGbk(error)));
    return false;
  }

  QtWindow window;
  app::MainDialog dialog(window, *libraries.engine, *libraries.flash, *libraries.e2, transports_);
  window.Attach(&dialog);
  window.RunModal();
  // The window goes before the libraries its dialog was calling.
  return true;
}

}  // namespace ui
