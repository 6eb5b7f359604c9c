// Button 1040: the module's crystal measured against the reference radio and the
// correction stored in its persistent store (the trim on BC5, the offset on BC7).
// Button 1032: the reset, on the programming connection.
#pragma once

#include <cstdint>
#include <functional>

#include "dialog/dialog_services.h"
#include "vendor/test_engine.h"

namespace radio {

// How the calibration waits for the crystal to settle after a trim change.
using SettleWait = std::function<void(unsigned milliseconds)>;

class CrystalCalibration {
 public:
  // The results of the two calibration routines.
  static constexpr int32_t kPass = 1;
  static constexpr int32_t kFail = -1;

  // `wait` defaults to sleeping; the window keeps painting either way.
  CrystalCalibration(dialog::DialogServices& dialog, vendor::TestEngine& engine, SettleWait wait = {});

  void OnAutoCalibrate();
  void OnReset();

  // BC5: steps the trim until the error lies within the window; `trim` holds the
  // trim accepted.
  int32_t SearchCrystalTrim(uint32_t module, uint32_t reference, uint16_t& trim);
  // BC7: one measurement with the stored offset cleared, the library's offset
  // value written back; `offset` holds the value computed.
  int32_t CalibrateCrystalOffset(uint32_t module, uint32_t reference, int16_t& offset);

 private:
  // The module's frequency error in kHz; false when the reference radio gave none.
  bool ReadOffsetKhz(uint32_t reference, double* offsetKhz);
  void Settle();

  dialog::DialogServices& dialog_;
  vendor::TestEngine& engine_;
  SettleWait wait_;
};

}  // namespace radio
