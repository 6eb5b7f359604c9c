#include "app/start_up.h"

#include <string>

#include "app/main_dialog.h"
#include "platform/file_system.h"
#include "res/strings.h"
#include "vendor/library_loader.h"

namespace app {
namespace {

constexpr const char* kLibrariesMissing = "无法加载芯片库，程序退出。\nCannot load the chip library:\n";

}  // namespace

bool RunStation(const FrontEnd& frontEnd, dialog::Transports& transports) {
  vendor::Libraries libraries;
  std::string error;
  if (!vendor::LoadLibraries(platform::ProgramFolder(), &libraries, &error)) {
    // No window at all: a station without its chip libraries can do nothing.
    frontEnd.showError(res::kAppTitle, kLibrariesMissing + error);
    return false;
  }
  // The window and its dialog go before the libraries the dialog was calling.
  std::unique_ptr<StationWindow> window = frontEnd.makeWindow();
  MainDialog dialog(*window, *libraries.engine, *libraries.flash, *libraries.e2, transports);
  window->Attach(&dialog);
  window->RunModal();
  return true;
}

}  // namespace app
