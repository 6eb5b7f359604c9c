// A station program that does nothing but press SetAddr on both devices, for
// ever, against the simulated station in the working directory: the crash test
// kills it at random moments.
#include <cstdio>
#include <memory>

#include "app/main_dialog.h"
#include "res/resource_ids.h"
#include "tests/support/memory_window.h"
#include "vendor/library_loader.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  vendor::Libraries libs;
  std::string error;
  if (!vendor::LoadLibraries(argv[1], &libs, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  fakes::MemoryWindow window;
  dialog::Transports transports;
  app::MainDialog dialog(window, *libs.engine, *libs.flash, *libs.e2, transports);
  dialog.OnInitDialog();
  dialog.OnPaint();
  window.SetCheck(res::IDC_DEVICE1, dialog::kBstChecked);
  window.SetCheck(res::IDC_DEVICE2, dialog::kBstChecked);
  for (;;) {
    window.Type(res::IDC_START_LAP, "x");
    dialog.OnCommand(res::IDC_SET_ADDR);
  }
}
