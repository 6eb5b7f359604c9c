#include "radio/bench_radios.h"

#include "device/chip_connection.h"
#include "radio/calibration_constants.h"

namespace radio {

bool OpenBenchRadios(dialog::DialogServices& dialog, vendor::TestEngine& engine, uint32_t* reference, uint32_t* module) {
  *reference = device::OpenReferenceRadio(engine);
  if (*reference == 0) {
    dialog.MessageBox(kReferenceOpenFailed);
    engine.closeTestEngine(0);
    return false;
  }
  *module = device::OpenBenchModule(engine);
  if (*module == 0) {
    dialog.MessageBox(dialog::kDeviceOpenFailed);
    engine.closeTestEngine(*reference);
    return false;
  }
  return true;
}

}  // namespace radio
