// A main dialog on an in-memory window and recording chip libraries, in a
// working directory of its own (where btconfig.ini lives).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/main_dialog.h"
#include "res/resource_ids.h"
#include "tests/support/memory_window.h"
#include "tests/support/recording_test_e2.h"
#include "tests/support/recording_test_engine.h"
#include "tests/support/recording_test_flash.h"
#include "tests/support/temp_directory.h"

namespace fakes {

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    engine.ShareWith(&allCalls);
    flash.ShareWith(&allCalls);
    e2.ShareWith(&allCalls);
    transports.Device1Transport = "SPITRANS=USB SPIPORT=0";
    transports.Device2Transport = "SPITRANS=LPT SPIPORT=1";
  }

  void Tick(int id, bool set = true) { window.SetCheck(id, set ? dialog::kBstChecked : dialog::kBstUnchecked); }
  std::string Log() const { return window.ItemText(res::IDC_LOG); }
  std::string Status() const { return window.ItemText(res::IDC_STATUS); }

  TempWorkingDirectory folder;
  MemoryWindow window;
  RecordingTestEngine engine;
  RecordingTestFlash flash;
  RecordingTestE2 e2;
  Calls allCalls;  // every library's calls, in order
  dialog::Transports transports;
  app::MainDialog dialog{window, engine, flash, e2, transports};
};

}  // namespace fakes
