#include "radio/crystal_calibration.h"

#include "dialog/recorded_operation.h"
#include "device/chip_connection.h"
#include "platform/sleep.h"
#include "radio/bench_radios.h"
#include "radio/calibration_constants.h"
#include "res/resource_ids.h"

namespace radio {
namespace {

constexpr uint16_t kBc7 = 7;

}  // namespace

CrystalCalibration::CrystalCalibration(dialog::DialogServices& dialog, vendor::TestEngine& engine, SettleWait wait)
    : dialog_(dialog), engine_(engine), wait_(wait ? std::move(wait) : SettleWait(platform::SleepMs)) {}

void CrystalCalibration::OnAutoCalibrate() {
  dialog::RecordedOperation record(dialog_, ledger::kCalibration, {});
  dialog_.Report(" ");
  uint32_t reference = 0, module = 0;
  if (!OpenBenchRadios(dialog_, engine_, &reference, &module)) return;

  uint16_t version = 0;
  if (engine_.bccmdGetChipVersion(module, &version) != 1) {
    dialog_.Report("bccmdGetChipRevision failed !");
    version = 0;  // whatever a failed read left there is no chip version
  }

  if (version == kBc7) {
    dialog_.Report("Currention is BC7 !");
    int16_t offset = 0;
    CalibrateCrystalOffset(module, reference, offset);  // its messages say how it went
  } else {
    dialog_.Report("Currention is BC5 !");
    if (engine_.radiotestRxdata1(reference, kCalibrationMhz, 0, 0) != 1) {
      engine_.closeTestEngine(module);
      engine_.closeTestEngine(reference);
      return;
    }
    if (engine_.radiotestTxstart(module, kCalibrationMhz, 50, 250, 0) != 1) {
      engine_.radiotestPause(module);
      engine_.closeTestEngine(module);
      engine_.closeTestEngine(reference);
      return;
    }
    uint16_t trim = 0;
    if (SearchCrystalTrim(module, reference, trim) == kPass) {
      if (engine_.psWriteXtalFtrim(module, trim) != 1) {
        dialog_.Report("DUT Write PS Failed !");
        engine_.radiotestPause(module);
        engine_.closeTestEngine(module);
        engine_.closeTestEngine(reference);
        return;
      }
      dialog_.Report("Crystal Trim Pass !");
    } else {
      dialog_.Report("Crystal Trim Fail !");
    }
  }

  // The module restarts so that the stored correction takes effect.
  engine_.bccmdSetColdReset(module, 0);
  engine_.bccmdSetColdReset(module, 0);
  engine_.radiotestPause(module);
  engine_.radiotestPause(reference);
  engine_.closeTestEngine(module);
  engine_.closeTestEngine(reference);
}

int32_t CrystalCalibration::CalibrateCrystalOffset(uint32_t module, uint32_t reference, int16_t& offset) {
  int16_t stored = 0;
  if (engine_.psReadXtalOffset(module, &stored) != 1) {
    dialog_.Report("Failed to read DUT PS crystal offset!");
    return kFail;
  }
  // The chip must run on its bare crystal for the measurement to mean anything.
  if (stored != 0 && engine_.psWriteXtalOffset(module, 0) != 1) {
    dialog_.Report("Failed to Write DUT PS crystal offset!");
    return kFail;
  }
  if (engine_.bccmdSetColdReset(module, 0) != 1) {
    dialog_.Report("bccmdSetColdReset Failed !");
    return kFail;
  }
  if (engine_.radiotestTxstart(module, kCalibrationMhz, 50, 250, 0) != 1) {
    engine_.radiotestPause(module);
    return kFail;
  }
  if (engine_.radiotestRxdata1(reference, kCalibrationMhz, 0, 0) != 1) return kFail;

  double offsetKhz = 0.0;
  if (!ReadOffsetKhz(reference, &offsetKhz)) return kFail;
  if (engine_.radiotestCalcXtalOffset(kCalibrationFrequency, MeasuredMhz(offsetKhz), &offset) != 1) {
    dialog_.Report("Crystal offset failed!");
    return kFail;
  }
  dialog_.Report("Trim=%d ,offset=%12f KHz", offset, offsetKhz);
  // Pass only once the offset is stored: the module was cleared to 0 above.
  if (engine_.psWriteXtalOffset(module, offset) != 1) {
    dialog_.Report("DUT Write PS Failed !");
    return kFail;
  }
  dialog_.Report("Crystal offset Pass !");
  return kPass;
}

void CrystalCalibration::OnReset() {
  dialog_.Report(" ");
  // With no box ticked the reset goes on with module handle 1.
  device::ChipConnection connection;
  if (!device::OpenChipConnection(dialog_, engine_, &connection, 1)) return;

  engine_.radiotestTxstart(connection.module, kCalibrationMhz, 50, 255, 1);
  int16_t unused = 0;
  if (engine_.radiotestCalcXtalOffset(kCalibrationFrequency, 0.0, &unused) == 1) {
    dialog_.Report("复位成功!");
  } else {
    dialog_.Report("复位失败!");
  }
  device::CloseChipConnection(engine_, connection);
}

bool CrystalCalibration::ReadOffsetKhz(uint32_t reference, double* offsetKhz) {
  double ppm = 0.0;
  if (engine_.get_freq_offset(reference, &ppm, 100) != 1) {
    dialog_.Report("refEp get_freq_offset failed!");
    return false;
  }
  *offsetKhz = OffsetKhz(ppm);
  return true;
}

void CrystalCalibration::Settle() {
  dialog_.window().KeepPainting();  // the last trim's line shows while the crystal settles
  wait_(100);
}

}  // namespace radio
