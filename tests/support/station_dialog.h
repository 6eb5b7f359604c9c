// A station's dialog on an in-memory window, opened as the program opens it
// (initialised, painted once, so the adapters are found) with both devices
// ticked: where every program and test that presses on a station starts.
#pragma once

#include "app/main_dialog.h"
#include "dialog/transports.h"
#include "res/resource_ids.h"
#include "vendor/library_loader.h"

namespace fakes {

template <class WindowType>
struct StationDialog {
  StationDialog(vendor::TestEngine& engine, vendor::TestFlash& flash, vendor::TestE2& e2)
      : dialog(window, engine, flash, e2, transports) {
    dialog.OnInitDialog();
    dialog.OnPaint();
    window.SetCheck(res::IDC_DEVICE1, dialog::kBstChecked);
    window.SetCheck(res::IDC_DEVICE2, dialog::kBstChecked);
  }
  explicit StationDialog(vendor::Libraries& libs) : StationDialog(*libs.engine, *libs.flash, *libs.e2) {}

  // Auto as the operator leaves it for a shift: EEPROM and the firmware chosen.
  void ChooseEeprom(const std::string& firmware) {
    window.SetCheck(res::IDC_EEPROM, dialog::kBstChecked);
    window.SetItemText(res::IDC_FIRMWARE_PATH, firmware);
  }

  // Declared before the dialog, which is built on them.
  WindowType window;
  dialog::Transports transports;
  app::MainDialog dialog;
};

}  // namespace fakes
