#include "radio/transmit_power.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <vector>

#include "dialog/recorded_operation.h"
#include "device/chip_connection.h"
#include "radio/bench_radios.h"
#include "radio/calibration_constants.h"

namespace radio {
namespace {

constexpr double kExpectedDbm = -71.0;
constexpr double kDeviationLimit = 10.0;
constexpr double kCrossBandLimit = 5.0;
constexpr int32_t kRssiMode = 1050;
constexpr size_t kRssiSamples = 10;

// A level as the messages show it: to the nearest whole number.
int Whole(double value) {
  if (!(value > INT_MIN && value < INT_MAX)) return value > 0 ? INT_MAX : value < 0 ? INT_MIN : 0;
  return static_cast<int>(std::lround(value));
}

}  // namespace

void TransmitPowerTest::OnTxPower() {
  dialog::RecordedOperation record(dialog_, ledger::kTxPower, {});
  dialog_.Report(" ");
  uint32_t reference = 0, module = 0;
  if (!OpenBenchRadios(dialog_, engine_, &reference, &module)) return;

  const std::vector<uint16_t> testPoints = {2402, 2441, 2480};
  std::vector<double> levels;  // only the points whose level the reference delivered
  for (uint16_t mhz : testPoints) {
    double average = 0.0;
    if (MeasureRssi(module, reference, mhz, average) != 0) {
      StopRadioTests(module, reference);  // its message is the last word: no verdict
      return;
    }
    double level = 0.0;  // shown as 0 when the reference delivers none
    if (engine_.refEpGetRssiDbm(reference, mhz, average, &level) == 1) {
      dialog_.Report("Frequency=%d MHz,chip RSSI value = %d ,RSSI dBm =%d !", mhz, Whole(average), Whole(level));
      levels.push_back(level);
    } else {
      dialog_.Report("RefEp refEpGetRssiDbm failed with frequency = %d MHz,chip RSSI value = %d , RSSI =%d  dBm", mhz,
                     Whole(average), Whole(level));
    }
  }

  if (levels.size() != testPoints.size()) {
    dialog_.Report("Failed to measure power for one or more test points");
    dialog_.Report("TEST FAIL !");
  } else {
    bool failed = false;
    double lowest = levels.front();
    double highest = levels.front();
    for (size_t j = 0; j < testPoints.size(); ++j) {
      double deviation = levels[j] - kExpectedDbm;
      if (deviation < -kDeviationLimit || deviation > kDeviationLimit) {
        dialog_.Report("Output power failed at %d MHz,%d bBm", testPoints[j], Whole(deviation));
        failed = true;
      }
      lowest = std::min(lowest, levels[j]);
      highest = std::max(highest, levels[j]);
    }
    if (std::fabs(highest - lowest) > kCrossBandLimit) {
      dialog_.Report("Cross band delta failure");
      failed = true;
    }
    dialog_.Report(failed ? "TEST FAIL !" : "TEST PASS !");
  }
  StopRadioTests(module, reference);
}

int32_t TransmitPowerTest::MeasureRssi(uint32_t module, uint32_t reference, uint16_t mhz, double& average) {
  if (engine_.radiotestTxstart(module, mhz, 50, 0, 0) != 1) {
    dialog_.Report("DUT radiotestTxstart failed !");
    return -1;
  }
  if (engine_.radiotestRxstart2(reference, mhz, 0, 0, 10) != 1) {
    dialog_.Report("RefEp radiotestRxstart2 failed !");
    return -1;
  }
  std::array<uint16_t, kRssiSamples> samples{};  // unwritten samples count as 0
  if (engine_.hqGetRssi(reference, kRssiMode, static_cast<int32_t>(samples.size()), samples.data()) != 1) {
    dialog_.Report("RefEp hqGetRssi failed !");
    return -1;
  }
  uint32_t sum = 0;
  for (uint16_t sample : samples) sum += sample;
  average = sum * 0.1;
  return 0;
}

void TransmitPowerTest::StopRadioTests(uint32_t module, uint32_t reference) {
  engine_.radiotestPause(module);
  engine_.radiotestPause(reference);
  engine_.closeTestEngine(module);
  engine_.closeTestEngine(reference);
}

}  // namespace radio
