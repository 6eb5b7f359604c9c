// Radio tests between a module and the reference radio: crystal error,
// received levels, and the codec loopback.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/sim/sim_fixture.h"

namespace simtest {
namespace {

constexpr const char* kUsb = "SPITRANS=USB SPIPORT=0";

class Radio : public StationTest {
 protected:
  void OpenBoth() {
    reference_ = api.openTestEngine(2, "\\\\.\\csr0", 0, 1000, 2000);
    module_ = api.openTestEngineSpi(-1, 0, 2);
    ASSERT_NE(reference_, 0u);
    ASSERT_NE(module_, 0u);
  }

  // The reference's reading at `trim`, in kHz as the calibration computes it.
  double OffsetKhzAt(uint16_t trim) {
    EXPECT_EQ(api.radiotestCfgXtalFtrim(module_, trim), 1);
    double ppm = 0;
    EXPECT_EQ(api.get_freq_offset(reference_, &ppm, 100), 1);
    return static_cast<double>(2441 * 1000) * ppm * 0.000001;
  }

  uint32_t reference_ = 0;
  uint32_t module_ = 0;
};

TEST_F(Radio, TrimSearchConvergesWithinTheWindow) {
  OpenBoth();
  ASSERT_EQ(api.radiotestRxdata1(reference_, 2441, 0, 0), 1);
  ASSERT_EQ(api.radiotestTxstart(module_, 2441, 50, 250, 0), 1);
  // Step 5, then the secant step, then single steps, as the calibration does.
  int trim = 31, iteration = 0;
  double first = 0, slope = 0;
  for (int guard = 0; guard < 64; ++guard) {
    double offset = OffsetKhzAt(static_cast<uint16_t>(trim));
    if (iteration == 0) first = offset;
    if (iteration == 1) slope = (offset - first) * 0.2;
    if (offset >= -2.5 && offset <= 2.5) break;
    int step = iteration == 0 ? 5 : iteration == 1 ? static_cast<int>(std::fabs(offset / slope)) : 1;
    trim += offset > 0 ? step : -step;
    ASSERT_GE(trim, 0);
    ASSERT_LE(trim, 63);
    iteration = iteration < 2 ? iteration + 1 : 2;
  }
  double accepted = OffsetKhzAt(static_cast<uint16_t>(trim));
  EXPECT_LE(std::fabs(accepted), 2.5);
  EXPECT_GT(OffsetKhzAt(31), 2.5) << "the default module starts outside the window";
  EXPECT_LT(OffsetKhzAt(40), OffsetKhzAt(39)) << "a higher trim lowers the carrier";
}

TEST_F(Radio, CarrierBeyondTheTrimRangeNeverEntersTheWindow) {
  Set("module bc5", "xtal_on_trim", "80");
  OpenBoth();
  ASSERT_EQ(api.radiotestRxdata1(reference_, 2441, 0, 0), 1);
  ASSERT_EQ(api.radiotestTxstart(module_, 2441, 50, 250, 0), 1);
  EXPECT_GT(OffsetKhzAt(63), 2.5);
}

TEST_F(Radio, MeasuringNeedsACarrierOnTheFrequencyListenedTo) {
  OpenBoth();
  double ppm = 0;
  EXPECT_EQ(api.get_freq_offset(reference_, &ppm, 100), 0) << "not receiving";
  ASSERT_EQ(api.radiotestRxdata1(reference_, 2441, 0, 0), 1);
  EXPECT_EQ(api.get_freq_offset(reference_, &ppm, 100), 0) << "nothing transmits";
  EXPECT_EQ(api.radiotestCfgXtalFtrim(module_, 31), 0) << "no radio test to apply the trim to";
  ASSERT_EQ(api.radiotestTxstart(module_, 2402, 50, 250, 0), 1);
  EXPECT_EQ(api.get_freq_offset(reference_, &ppm, 100), 0) << "wrong frequency";
  ASSERT_EQ(api.radiotestTxstart(module_, 2441, 50, 250, 0), 1);
  EXPECT_EQ(api.get_freq_offset(reference_, &ppm, 100), 1);
  ASSERT_EQ(api.bccmdSetColdReset(module_, 0), 1);
  EXPECT_EQ(api.get_freq_offset(reference_, &ppm, 100), 0) << "a restart ends the test";
  EXPECT_EQ(api.radiotestTxstart(module_, 2500, 50, 250, 0), 0) << "outside the band";
  EXPECT_EQ(api.get_freq_offset(module_, &ppm, 100), 0) << "only the reference measures";
}

TEST_F(Radio, StoredCrystalOffsetCorrectsTheBc7Carrier) {
  Set("station", "adapters", "lpt, usb");
  OpenBoth();
  uint16_t version = 0;
  ASSERT_EQ(api.bccmdGetChipVersion(module_, &version), 1);
  ASSERT_EQ(version, 7);
  ASSERT_EQ(api.psWriteXtalOffset(module_, 0), 1);
  ASSERT_EQ(api.radiotestTxstart(module_, 2441, 50, 250, 0), 1);
  ASSERT_EQ(api.radiotestRxdata1(reference_, 2441, 0, 0), 1);
  double ppm = 0;
  ASSERT_EQ(api.get_freq_offset(reference_, &ppm, 100), 1);
  EXPECT_NEAR(ppm, 2.5, 1e-9);
  double khz = static_cast<double>(2441 * 1000) * ppm * 0.000001;
  int16_t value = 0;
  ASSERT_EQ(api.radiotestCalcXtalOffset(2441.0, 2441.0 + khz * 0.001, &value), 1);
  EXPECT_EQ(value, 25);
  ASSERT_EQ(api.psWriteXtalOffset(module_, value), 1);
  ASSERT_EQ(api.get_freq_offset(reference_, &ppm, 100), 1);
  EXPECT_NEAR(ppm, 0.0, 0.05);
}

TEST_F(Radio, CrystalOffsetSaturatesAndRefusesNonsense) {
  int16_t value = 0;
  EXPECT_EQ(api.radiotestCalcXtalOffset(2441.0, 0.0, &value), 1);
  EXPECT_EQ(value, -32768);
  EXPECT_EQ(api.radiotestCalcXtalOffset(0.0, 2441.0, &value), 0);
  EXPECT_EQ(api.radiotestCalcXtalOffset(2441.0, 2441.0, nullptr), 0);
}

TEST_F(Radio, LevelsFollowTheStationPerFrequency) {
  Set("reference", "level_2441", "-60.5");
  OpenBoth();
  const struct {
    uint16_t mhz;
    double dbm;
  } kLevels[] = {{2402, -70.5}, {2441, -60.5}, {2480, -72.0}};
  for (const auto& c : kLevels) {
    ASSERT_EQ(api.radiotestTxstart(module_, c.mhz, 50, 0, 0), 1);
    ASSERT_EQ(api.radiotestRxstart2(reference_, c.mhz, 0, 0, 10), 1);
    uint16_t samples[10] = {};
    ASSERT_EQ(api.hqGetRssi(reference_, 1050, 10, samples), 1);
    unsigned sum = 0;
    for (uint16_t s : samples) sum += s;
    double dbm = 0;
    ASSERT_EQ(api.refEpGetRssiDbm(reference_, c.mhz, sum * 0.1, &dbm), 1);
    EXPECT_DOUBLE_EQ(dbm, c.dbm) << c.mhz;
  }
  ASSERT_EQ(api.radiotestPause(module_), 1);
  uint16_t samples[10] = {};
  ASSERT_EQ(api.hqGetRssi(reference_, 1050, 10, samples), 1);
  double dbm = 0;
  ASSERT_EQ(api.refEpGetRssiDbm(reference_, 2480, samples[0], &dbm), 1);
  EXPECT_DOUBLE_EQ(dbm, -100.0) << "the noise floor once the module is quiet";
}

TEST_F(Radio, DefaultLevelsSitInsideThePowerWindow) {
  OpenBoth();
  double low = 1e9, high = -1e9;
  for (uint16_t mhz : {2402, 2441, 2480}) {
    ASSERT_EQ(api.radiotestTxstart(module_, mhz, 50, 0, 0), 1);
    ASSERT_EQ(api.radiotestRxstart2(reference_, mhz, 0, 0, 10), 1);
    uint16_t samples[10] = {};
    ASSERT_EQ(api.hqGetRssi(reference_, 1050, 10, samples), 1);
    double dbm = 0;
    ASSERT_EQ(api.refEpGetRssiDbm(reference_, mhz, samples[0], &dbm), 1);
    EXPECT_LE(std::fabs(dbm + 71.0), 10.0);
    low = std::min(low, dbm);
    high = std::max(high, dbm);
  }
  EXPECT_LE(high - low, 5.0);
}

TEST_F(Radio, LoopbackPerMicrophone) {
  uint32_t module = api.openTestEngineSpiTrans(kUsb, 0);
  ASSERT_EQ(module, 1u);
  EXPECT_EQ(api.radiotestStereoCodecLB(1, 44100, 1), 1);
  EXPECT_EQ(api.radiotestStereoCodecLB(1, 44100, 2), 1);
  Set("module bc5", "loopback_right", "fail");
  EXPECT_EQ(api.radiotestStereoCodecLB(1, 44100, 1), 0);
  EXPECT_EQ(api.radiotestStereoCodecLB(1, 44100, 2), 1);
  EXPECT_EQ(api.radiotestStereoCodecLB(1, 44101, 2), 0) << "no such sample rate";
  EXPECT_EQ(api.radiotestStereoCodecLB(1, 44100, 3), 0) << "no third microphone";
}

}  // namespace
}  // namespace simtest
