// A station program that presses Auto (EEPROM burn, then the address, on
// both devices) against the simulated station in the working directory,
// PRESSES times, or until a file named stop appears when PRESSES is 0. With
// a NAME, each press also writes that Bluetooth name to device 1, as an
// operator types it. Each press's time in milliseconds goes to stdout.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/main_dialog.h"
#include "platform/sleep.h"
#include "res/resource_ids.h"
#include "tests/support/memory_window.h"
#include "tests/support/station_dialog.h"
#include "vendor/library_loader.h"

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: auto_press_loop LIBRARY_DIR FIRMWARE PRESSES [NAME]\n");
    return 2;
  }
  const long presses = std::strtol(argv[3], nullptr, 10);
  vendor::Libraries libs;
  std::string error;
  if (!vendor::LoadLibraries(argv[1], &libs, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  fakes::StationDialog<fakes::MemoryWindow> station(libs);
  station.ChooseEeprom(argv[2]);
  fakes::MemoryWindow& window = station.window;
  app::MainDialog& dialog = station.dialog;
  for (long pressed = 0; presses == 0 || pressed < presses; ++pressed) {
    const int64_t started = platform::SteadyMs();
    window.Type(res::IDC_START_LAP, "x");
    dialog.OnCommand(res::IDC_AUTO);
    if (argc == 5) {
      window.SetCheck(res::IDC_DEVICE2, dialog::kBstUnchecked);
      window.Type(res::IDC_DEVICE_NAME, argv[4]);
      dialog.OnCommand(res::IDC_NAME_CHANGE);
      window.SetCheck(res::IDC_DEVICE2, dialog::kBstChecked);
    }
    std::printf("%lld\n", static_cast<long long>(platform::SteadyMs() - started));
    std::fflush(stdout);
    window.SetItemText(res::IDC_LOG, "");
    if (presses == 0 && access("stop", F_OK) == 0) break;
  }
  return 0;
}
