#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "radio/calibration_constants.h"
#include "radio/transmit_power.h"
#include "tests/support/dialog_fixture.h"
#include "tests/support/reported_lines.h"

namespace {

using fakes::Call;
using fakes::Calls;
using Lines = std::vector<std::string>;

// A reference radio that leaves the level alone when it has none to give.
class ReferenceRadio : public fakes::RecordingTestEngine {
 public:
  int32_t refEpGetRssiDbm(uint32_t handle, int32_t mhz, double rssi, double* dbm) override {
    double delivered = 0.0;
    int32_t result = RecordingTestEngine::refEpGetRssiDbm(handle, mhz, rssi, &delivered);
    if (result == 1) *dbm = delivered;
    return result;
  }
};

// Reference radio 1, module 2, as the fake hands them out.
Calls Point(int mhz, const char* average) {
  std::string f = std::to_string(mhz);
  return {{"radiotestTxstart", "2," + f + ",50,0,0"},
          {"radiotestRxstart2", "1," + f + ",0,0,10"},
          {"hqGetRssi", "1,1050,10"},
          {"refEpGetRssiDbm", "1," + f + "," + average}};
}
const Calls kStop = {{"radiotestPause", "2"}, {"radiotestPause", "1"}, {"closeTestEngine", "2"}, {"closeTestEngine", "1"}};

class TransmitPower : public fakes::DialogTest {
 protected:
  TransmitPower() { radios.rssiSamples.fill(40); }

  fakes::ReportedLines reports{dialog};
  ReferenceRadio radios;
  radio::TransmitPowerTest test{reports, radios};
};

TEST_F(TransmitPower, LevelsCloseToMinus71AtAllThreeFrequenciesPass) {
  radios.rssiDbm = {-71, -70, -72};
  test.OnTxPower();
  EXPECT_EQ(reports.lines(), (Lines{" ", "Frequency=2402 MHz,chip RSSI value = 40 ,RSSI dBm =-71 !",
                                    "Frequency=2441 MHz,chip RSSI value = 40 ,RSSI dBm =-70 !",
                                    "Frequency=2480 MHz,chip RSSI value = 40 ,RSSI dBm =-72 !", "TEST PASS !"}));
  Calls expected = {{"openTestEngine", "2,\\\\.\\csr0,0,1000,2000"}, {"openTestEngineSpi", "-1,0,2"}};
  for (int mhz : {2402, 2441, 2480}) {
    Calls point = Point(mhz, "40");
    expected.insert(expected.end(), point.begin(), point.end());
  }
  expected.insert(expected.end(), kStop.begin(), kStop.end());
  EXPECT_EQ(radios.calls(), expected);
  EXPECT_TRUE(window.messageBoxes().empty());
}

TEST_F(TransmitPower, VerdictOnEachPointsWindowAndOnTheSpreadAcrossTheBand) {
  const struct {
    std::vector<double> levels;
    Lines verdict;  // what follows the three measurement lines
  } kCases[] = {
      {{-81, -81, -81}, {"TEST PASS !"}},  // deviations of exactly -10
      {{-61, -61, -61}, {"TEST PASS !"}},  // and +10
      {{-71, -66, -71}, {"TEST PASS !"}},  // a spread of exactly 5 dB
      {{-62, -66, -67.5}, {"Cross band delta failure", "TEST FAIL !"}},
      {{-60, -71, -71}, {"Output power failed at 2402 MHz,11 bBm", "Cross band delta failure", "TEST FAIL !"}},
      {{-71, -81.5, -71},
       {"Output power failed at 2441 MHz,-11 bBm", "Cross band delta failure", "TEST FAIL !"}},  // -10.5 shown rounded
      {{-59, -59, -59},
       {"Output power failed at 2402 MHz,12 bBm", "Output power failed at 2441 MHz,12 bBm",
        "Output power failed at 2480 MHz,12 bBm", "TEST FAIL !"}},
  };
  for (const auto& c : kCases) {
    ReferenceRadio reference;
    reference.rssiDbm = c.levels;
    fakes::ReportedLines lines{dialog};
    radio::TransmitPowerTest(lines, reference).OnTxPower();
    ASSERT_EQ(lines.lines().size(), 4 + c.verdict.size()) << ::testing::PrintToString(c.levels);
    EXPECT_EQ(Lines(lines.lines().begin() + 4, lines.lines().end()), c.verdict)
        << ::testing::PrintToString(c.levels);
  }
}

TEST_F(TransmitPower, AveragedRssiAndLevelAreShownRoundedToTheNearestWholeNumber) {
  radios.rssiSamples = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};  // 55 * 0.1
  radios.rssiDbm = {-70.6, -71.4, -70.5};
  test.OnTxPower();
  EXPECT_EQ(radios.CallsOf("refEpGetRssiDbm").front(), (Call{"refEpGetRssiDbm", "1,2402,5.5"}));
  EXPECT_EQ(Lines(reports.lines().begin() + 1, reports.lines().begin() + 4),
            (Lines{"Frequency=2402 MHz,chip RSSI value = 6 ,RSSI dBm =-71 !",
                   "Frequency=2441 MHz,chip RSSI value = 6 ,RSSI dBm =-71 !",
                   "Frequency=2480 MHz,chip RSSI value = 6 ,RSSI dBm =-71 !"}));
}

// Fills the stack below the caller with non-zero bytes, so that a sample array
// left uncleared does not happen to start out as zeros.
[[gnu::noinline]] void DirtyTheStack() {
  volatile unsigned char junk[32 * 1024];
  for (auto& byte : junk) byte = 0xA5;
}

TEST_F(TransmitPower, SamplesTheReferenceLeavesUnwrittenCountAsZero) {
  radios.rssiSamples.fill(40);
  radios.rssiSamplesWritten = 4;  // 4 * 40 + 6 * 0 = 160, times 0.1
  radios.rssiDbm = {-71};
  DirtyTheStack();
  test.OnTxPower();
  for (const Call& call : radios.CallsOf("refEpGetRssiDbm")) EXPECT_EQ(call.args.substr(call.args.rfind(',')), ",16");
  EXPECT_EQ(reports.lines()[1], "Frequency=2402 MHz,chip RSSI value = 16 ,RSSI dBm =-71 !");
  ASSERT_EQ(radios.rssiSamplesFound.size(), 3u);
  for (const auto& found : radios.rssiSamplesFound) EXPECT_EQ(found, std::vector<uint16_t>(10, 0));
}

TEST_F(TransmitPower, LevelNotDeliveredAtOnePointStillMeasuresTheOthersAndFails) {
  radios.rssiDbm = {-71, -40, -72};
  radios.Script("refEpGetRssiDbm", 1);
  radios.Script("refEpGetRssiDbm", 0);
  test.OnTxPower();
  EXPECT_EQ(reports.lines(),
            (Lines{" ", "Frequency=2402 MHz,chip RSSI value = 40 ,RSSI dBm =-71 !",
                   "RefEp refEpGetRssiDbm failed with frequency = 2441 MHz,chip RSSI value = 40 , RSSI =0  dBm",
                   "Frequency=2480 MHz,chip RSSI value = 40 ,RSSI dBm =-72 !",
                   "Failed to measure power for one or more test points", "TEST FAIL !"}));
  Calls tail(radios.calls().end() - 4, radios.calls().end());
  EXPECT_EQ(tail, kStop);
}

TEST_F(TransmitPower, FailedMeasurementStopsTheRadiosWithoutAVerdict) {
  const struct {
    const char* failing;
    int atPoint;  // 0, 1, 2
    size_t step;  // which call of the point's measurement
    const char* message;
  } kCases[] = {
      {"radiotestTxstart", 2, 0, "DUT radiotestTxstart failed !"},
      {"radiotestRxstart2", 0, 1, "RefEp radiotestRxstart2 failed !"},
      {"hqGetRssi", 1, 2, "RefEp hqGetRssi failed !"},
  };
  const int kMhz[] = {2402, 2441, 2480};
  for (const auto& c : kCases) {
    ReferenceRadio reference;
    reference.rssiDbm = {-71};
    for (int i = 0; i < c.atPoint; ++i) reference.Script(c.failing, 1);
    reference.Script(c.failing, 0);
    fakes::ReportedLines lines{dialog};
    radio::TransmitPowerTest(lines, reference).OnTxPower();

    ASSERT_EQ(lines.lines().size(), 2u + c.atPoint) << c.failing;
    EXPECT_EQ(lines.lines().back(), c.message) << c.failing;
    for (int i = 0; i < c.atPoint; ++i) {
      EXPECT_EQ(lines.lines()[1 + i], "Frequency=" + std::to_string(kMhz[i]) + " MHz,chip RSSI value = 0 ,RSSI dBm =-71 !");
    }
    Calls expectedTail = {Point(kMhz[c.atPoint], "0")[c.step]};
    expectedTail.insert(expectedTail.end(), kStop.begin(), kStop.end());
    EXPECT_EQ(Calls(reference.calls().end() - 5, reference.calls().end()), expectedTail) << c.failing;
  }
}

TEST_F(TransmitPower, RadiosThatDoNotOpen) {
  const struct {
    const char* failing;
    const char* box;
    Calls calls;
  } kCases[] = {
      {"openTestEngine",
       radio::kReferenceOpenFailed,
       {{"openTestEngine", "2,\\\\.\\csr0,0,1000,2000"}, {"closeTestEngine", "0"}}},
      {"openTestEngineSpi",
       dialog::kDeviceOpenFailed,
       {{"openTestEngine", "2,\\\\.\\csr0,0,1000,2000"}, {"openTestEngineSpi", "-1,0,2"}, {"closeTestEngine", "1"}}},
  };
  for (const auto& c : kCases) {
    ReferenceRadio reference;
    reference.Script(c.failing, 0);
    fakes::ReportedLines lines{dialog};
    size_t boxes = window.messageBoxes().size();
    radio::TransmitPowerTest(lines, reference).OnTxPower();
    EXPECT_EQ(lines.lines(), (Lines{" "})) << c.failing;
    EXPECT_EQ(reference.calls(), c.calls) << c.failing;
    ASSERT_EQ(window.messageBoxes().size(), boxes + 1) << c.failing;
    EXPECT_EQ(window.messageBoxes().back().text, c.box) << c.failing;
  }
}

TEST_F(TransmitPower, ButtonIsRouted) {
  engine.Script("openTestEngineSpi", 0);
  EXPECT_TRUE(dialog.OnCommand(res::IDC_TX_POWER));
  EXPECT_EQ(engine.calls(), (Calls{{"openTestEngine", "2,\\\\.\\csr0,0,1000,2000"},
                                   {"openTestEngineSpi", "-1,0,2"},
                                   {"closeTestEngine", "1"}}));
  ASSERT_EQ(window.messageBoxes().size(), 1u);
  EXPECT_EQ(window.messageBoxes()[0].text, dialog::kDeviceOpenFailed);
}

}  // namespace
