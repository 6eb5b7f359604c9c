// Button 1050: puts all 32 PIO lines of the module under host control and
// reports which the chip refused.
#pragma once

#include "dialog/dialog_services.h"
#include "pio/pio_monitor.h"
#include "vendor/test_engine.h"

namespace pio {

class PioTest {
 public:
  PioTest(dialog::DialogServices& dialog, vendor::TestEngine& engine, PioMonitor& monitor)
      : dialog_(dialog), engine_(engine), monitor_(monitor) {}

  void OnTesting();

 private:
  dialog::DialogServices& dialog_;
  vendor::TestEngine& engine_;
  PioMonitor& monitor_;
};

}  // namespace pio
