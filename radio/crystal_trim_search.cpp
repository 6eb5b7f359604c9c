// The BC5 trim search: a step of 5, then one secant step, then single steps,
// until the error lies within the window or a bound stops it.
#include <algorithm>
#include <cmath>

#include "radio/calibration_constants.h"
#include "radio/crystal_calibration.h"

namespace radio {
namespace {

constexpr int kLowestTrim = 0;
constexpr int kHighestTrim = 63;
constexpr double kWindowKhz = 2.5;
constexpr int kFirstStep = 5;
constexpr double kSlopeFactor = 0.2;  // one over the first step
// Enough for every trim from the middle out to a bound, with room to spare. A
// module whose error jumps across the window between two neighbouring trims
// would otherwise step back and forth for ever.
constexpr int kMaxMeasurements = 64;

// The step that the line through the first two measurements says reaches 0.
int SecantStep(double offsetKhz, double slope) {
  if (slope == 0.0) return 1;  // two equal readings give no size: go on by single steps
  double step = std::fabs(offsetKhz / slope);
  if (!(step < kHighestTrim + 1)) return kHighestTrim + 1;  // any trim is reachable with that; also no overflow
  return static_cast<int>(step);
}

}  // namespace

int32_t CrystalCalibration::SearchCrystalTrim(uint32_t module, uint32_t reference, uint16_t& trim) {
  trim = (kHighestTrim - kLowestTrim) / 2;
  int iteration = 0;  // 0, 1, then held at 2
  double firstOffset = 0.0;
  double slope = 0.0;  // kHz per trim unit

  for (int measurements = 1;; ++measurements) {
    if (engine_.radiotestCfgXtalFtrim(module, trim) != 1) {
      dialog_.Report("DUT radiotestCfgXtalFtim failed !");
      return kFail;
    }
    Settle();
    double offset = 0.0;
    if (!ReadOffsetKhz(reference, &offset)) return kFail;
    dialog_.Report("Trim=%d ,offset=%12f KHz", trim, offset);
    int16_t unused = 0;
    engine_.radiotestCalcXtalOffset(kCalibrationFrequency, MeasuredMhz(offset), &unused);
    // Recorded whatever the library answered: the secant step needs both.
    if (iteration == 0) firstOffset = offset;
    if (iteration == 1) slope = (offset - firstOffset) * kSlopeFactor;

    if (offset >= -kWindowKhz && offset <= kWindowKhz) return kPass;
    // A module too high needs more trim, one too low less.
    bool tooHigh = offset > kWindowKhz;
    if (trim == (tooHigh ? kHighestTrim : kLowestTrim)) return kFail;
    if (measurements == kMaxMeasurements) return kFail;

    int step = iteration == 0 ? kFirstStep : iteration == 1 ? SecantStep(offset, slope) : 1;
    int next = tooHigh ? trim + step : trim - step;
    trim = static_cast<uint16_t>(std::clamp(next, kLowestTrim, kHighestTrim));
    if (iteration < 2) ++iteration;
  }
}

}  // namespace radio
