#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "radio/calibration_constants.h"
#include "radio/crystal_calibration.h"
#include "radio/loopback.h"
#include "radio/transmit_power.h"
#include "tests/station/radio_bench_station.h"

namespace {

using Lines = std::vector<std::string>;
using RadioBench = bench::BenchStation;

void NoWait(unsigned) {}

TEST_F(RadioBench, Bc5CalibrationConvergesAndStoresTheTrim) {
  EXPECT_TRUE(dialog->OnCommand(res::IDC_AUTO_CALIBRATE));  // with the real settling waits
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "Crystal Trim Pass !");
  EXPECT_EQ(Get("module bc5", "xtal_ftrim"), "38");
  EXPECT_TRUE(window.messageBoxes().empty());
}

TEST_F(RadioBench, Bc5SearchGoesByFiveThenBySecant) {
  radio::CrystalCalibration(*reports, *libraries.engine, NoWait).OnAutoCalibrate();
  ASSERT_EQ(Reported().size(), 6u);
  EXPECT_EQ(Reported()[1], "Currention is BC5 !");
  EXPECT_EQ(Reported()[2].substr(0, 8), "Trim=31 ");
  EXPECT_EQ(Reported()[3].substr(0, 8), "Trim=36 ");
  EXPECT_EQ(Reported()[4].substr(0, 8), "Trim=38 ");
  EXPECT_EQ(Reported()[5], "Crystal Trim Pass !");
}

TEST_F(RadioBench, Bc7CalibrationStoresTheComputedOffset) {
  Set("adapter usb", "module", "bc7");  // the bench module is the one on the first adapter
  radio::CrystalCalibration(*reports, *libraries.engine, NoWait).OnAutoCalibrate();
  EXPECT_EQ(Reported(), (Lines{" ", "Currention is BC7 !", "Trim=25 ,offset=    6.102500 KHz", "Crystal offset Pass !"}));
  EXPECT_EQ(Get("module bc7", "xtal_offset"), "25");
}

TEST_F(RadioBench, CalibrationFailuresMadeByTheStation) {
  struct Setting {
    const char* section;
    const char* key;
    const char* value;
    const char* restored;
  };
  const struct {
    const char* name;
    std::vector<Setting> settings;
    size_t measurements;
    std::string last;  // the last line reported
  } kCases[] = {
      // The carrier jumps 6 kHz between neighbouring trims, across the whole window.
      {"oscillating module",
       {{"module bc5", "xtal_on_trim", "34.5", "38.3"}, {"module bc5", "xtal_ppm_per_trim", "2.5", "1.0"}},
       64, "Crystal Trim Fail !"},
      {"on frequency only beyond the top trim", {{"module bc5", "xtal_on_trim", "80", "38.3"}}, 3,
       "Crystal Trim Fail !"},
      {"trim not stored", {{"faults", "psWriteXtalFtrim", "bc5", ""}}, 3, "DUT Write PS Failed !"},
      {"no carrier measured", {{"faults", "get_freq_offset", "reference", ""}}, 0, "Crystal Trim Fail !"},
  };
  for (const auto& c : kCases) {
    for (const Setting& s : c.settings) Set(s.section, s.key, s.value);
    fakes::ReportedLines lines{*dialog};
    radio::CrystalCalibration(lines, *libraries.engine, NoWait).OnAutoCalibrate();
    size_t measurements = 0;
    for (const std::string& line : lines.lines()) measurements += line.starts_with("Trim=") ? 1 : 0;
    EXPECT_EQ(measurements, c.measurements) << c.name;
    EXPECT_EQ(lines.lines().back(), c.last) << c.name;
    EXPECT_EQ(Get("module bc5", "xtal_ftrim"), "31") << c.name;
    for (const Setting& s : c.settings) Set(s.section, s.key, s.restored);
  }
}

TEST_F(RadioBench, MissingReferenceRadioAsksForIt) {
  Set("reference", "present", "no");
  radio::CrystalCalibration(*reports, *libraries.engine, NoWait).OnAutoCalibrate();
  radio::TransmitPowerTest(*reports, *libraries.engine).OnTxPower();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{radio::kReferenceOpenFailed, radio::kReferenceOpenFailed}));
  EXPECT_EQ(Reported(), (Lines{" ", " "}));
}

TEST_F(RadioBench, PowerTestPassesOnTheDefaultBench) {
  EXPECT_TRUE(dialog->OnCommand(res::IDC_TX_POWER));
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "TEST PASS !");
}

TEST_F(RadioBench, PowerTestFailsALevelOutsideTheWindow) {
  Set("reference", "level_2441", "-85");
  radio::TransmitPowerTest(*reports, *libraries.engine).OnTxPower();
  ASSERT_EQ(Reported().size(), 7u);
  EXPECT_EQ(Reported()[2].substr(0, 20), "Frequency=2441 MHz,c");
  EXPECT_EQ(Reported()[4], "Output power failed at 2441 MHz,-14 bBm");
  EXPECT_EQ(Reported()[5], "Cross band delta failure");
  EXPECT_EQ(Reported()[6], "TEST FAIL !");
}

TEST_F(RadioBench, LoopbackOnTheDefaultBenchAndWithAFailingMicrophone) {
  Tick(res::IDC_DEVICE1);
  radio::LoopbackTest(*reports, *libraries.engine).OnMicAndSpeaker();
  Set("module bc5", "loopback_left", "fail");
  radio::LoopbackTest(*reports, *libraries.engine).OnMicAndSpeaker();
  EXPECT_EQ(Reported(), (Lines{" ", "MicR to SpkL and SpkR 成功!", "MicL to SpkL and SpkR 成功!", " ",
                            "MicR to SpkL and SpkR 成功!", "MicL to SpkL and SpkR 失败!"}));
  EXPECT_TRUE(window.messageBoxes().empty());
}

TEST_F(RadioBench, ResetOnTheDefaultBench) {
  Tick(res::IDC_DEVICE1);
  EXPECT_TRUE(dialog->OnCommand(res::IDC_RESET));
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "复位成功!");
}

}  // namespace
