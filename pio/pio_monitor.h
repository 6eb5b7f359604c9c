// The PIO monitor behind timer 1 of the main dialog: counts down, watches the
// module's PIO levels for lines that change, and reports them when time is up.
// Nothing starts the timer, so on the station it never ticks; the PIO test
// only sets its countdown.
#pragma once

#include <cstdint>

#include "dialog/dialog_services.h"
#include "vendor/test_engine.h"

namespace pio {

class PioMonitor {
 public:
  static constexpr int kTimerId = 1;

  // Ticks left, from "testTimeout".
  void SetCountdown(uint32_t ticks) { countdown_ = ticks; }
  uint32_t countdown() const { return countdown_; }
  // Lines 0 to 7 seen to change, gathered over every watch.
  uint8_t detected() const { return detected_; }

  // The connection whose levels the ticks read, and the levels they are compared with.
  void Watch(uint32_t connection, uint32_t baseline) {
    connection_ = connection;
    baseline_ = baseline;
  }

  void OnTimer(dialog::DialogServices& dialog, vendor::TestEngine& engine, int id);

 private:
  uint32_t countdown_ = 0;
  uint8_t detected_ = 0;
  uint32_t connection_ = 0;
  uint32_t baseline_ = 0;
};

}  // namespace pio
