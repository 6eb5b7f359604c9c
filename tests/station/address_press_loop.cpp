// A station program that does nothing but press SetAddr on both devices
// against the simulated station in the working directory: for ever, for the
// crash test to kill at random moments; or, given PRESSES, that many times
// (0: until a file named stop appears), each press's log on a line of stdout.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/main_dialog.h"
#include "res/resource_ids.h"
#include "tests/support/memory_window.h"
#include "tests/support/station_dialog.h"
#include "vendor/library_loader.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) return 2;
  const bool counted = argc == 3;
  const long presses = counted ? std::strtol(argv[2], nullptr, 10) : 0;
  vendor::Libraries libs;
  std::string error;
  if (!vendor::LoadLibraries(argv[1], &libs, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  fakes::StationDialog<fakes::MemoryWindow> station(libs);
  fakes::MemoryWindow& window = station.window;
  app::MainDialog& dialog = station.dialog;
  for (long pressed = 0; !counted || presses == 0 || pressed < presses; ++pressed) {
    window.Type(res::IDC_START_LAP, "x");
    dialog.OnCommand(res::IDC_SET_ADDR);
    if (!counted) continue;
    // The log pane is emptied each press, so it holds just this press's
    // lines; without its line breaks, every message is one piece of text.
    std::string log;
    for (char c : window.ItemText(res::IDC_LOG)) {
      if (c != '\r' && c != '\n') log += c;
    }
    std::fwrite(log.data(), 1, log.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    window.SetItemText(res::IDC_LOG, "");
    if (presses == 0 && access("stop", F_OK) == 0) break;
  }
  return 0;
}
