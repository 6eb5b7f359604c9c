// Button 1043: the module's output power at the bottom, middle and top of the
// band, received by the reference radio. Each level within 10 dB of -71 dBm and
// the three within 5 dB of each other.
#pragma once

#include <cstdint>

#include "dialog/dialog_services.h"
#include "vendor/test_engine.h"

namespace radio {

class TransmitPowerTest {
 public:
  TransmitPowerTest(dialog::DialogServices& dialog, vendor::TestEngine& engine) : dialog_(dialog), engine_(engine) {}

  void OnTxPower();

  // One frequency: the module transmits, the reference samples ten RSSI values;
  // `average` receives their mean. 0, or -1 after its message.
  int32_t MeasureRssi(uint32_t module, uint32_t reference, uint16_t mhz, double& average);
  void StopRadioTests(uint32_t module, uint32_t reference);

 private:
  dialog::DialogServices& dialog_;
  vendor::TestEngine& engine_;
};

}  // namespace radio
