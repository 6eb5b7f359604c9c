#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "radio/calibration_constants.h"
#include "radio/crystal_calibration.h"
#include "tests/support/dialog_fixture.h"
#include "tests/support/reported_lines.h"

namespace {

using fakes::Call;
using fakes::Calls;
using Lines = std::vector<std::string>;

// The library's ppm reading for an error of about `khz` at 2441 MHz.
double Ppm(double khz) { return khz / 2.441; }

// No reading comes out as exactly 2.5 kHz: the nearest ones lie a hair either
// side. The reading nearest the edge that is still inside it.
double PpmJustInside(double edgeKhz) {
  double ppm = Ppm(edgeKhz);
  while (std::fabs(radio::OffsetKhz(ppm)) > std::fabs(edgeKhz)) ppm = std::nextafter(ppm, 0.0);
  return ppm;
}

std::vector<double> Readings(const std::vector<double>& khz) {
  std::vector<double> ppm;
  for (double k : khz) ppm.push_back(Ppm(k));
  return ppm;
}

// Reference radio 1, module 2, as the fake hands them out.
const Call kOpenReference{"openTestEngine", "2,\\\\.\\csr0,0,1000,2000"};
const Call kOpenModule{"openTestEngineSpi", "-1,0,2"};
const Call kChipVersion{"bccmdGetChipVersion", "2"};
const Calls kCommonEnd = {{"bccmdSetColdReset", "2,0"}, {"bccmdSetColdReset", "2,0"}, {"radiotestPause", "2"},
                          {"radiotestPause", "1"},      {"closeTestEngine", "2"},     {"closeTestEngine", "1"}};

Calls Join(std::initializer_list<Calls> parts) {
  Calls all;
  for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class CrystalCalibration : public fakes::DialogTest {
 protected:
  // What one run of a handler did, on libraries of its own.
  struct Run {
    Lines lines;
    Calls calls;
    std::vector<std::string> boxes;
  };
  using Setup = std::function<void(fakes::RecordingTestEngine&)>;

  Run RunOnce(const Setup& setup, void (radio::CrystalCalibration::*handler)()) {
    fakes::RecordingTestEngine radios;
    setup(radios);
    fakes::ReportedLines lines{dialog};
    size_t boxesBefore = window.messageBoxes().size();
    radio::CrystalCalibration run{lines, radios, [&](unsigned ms) { radios.Record("wait", 0, ms); }};
    (run.*handler)();
    Run result{lines.lines(), radios.calls(), {}};
    for (size_t i = boxesBefore; i < window.messageBoxes().size(); ++i) {
      result.boxes.push_back(window.messageBoxes()[i].text);
    }
    return result;
  }

  static std::vector<int> TrimsTried(const fakes::RecordingTestEngine& radios) {
    std::vector<int> trims;
    for (const Call& call : radios.CallsOf("radiotestCfgXtalFtrim")) trims.push_back(std::stoi(call.args.substr(2)));
    return trims;
  }

  fakes::ReportedLines reports{dialog};
  // The settling wait shows among the library calls, where it happens.
  radio::CrystalCalibration calibration{reports, engine, [this](unsigned ms) { engine.Record("wait", 0, ms); }};
};

TEST_F(CrystalCalibration, Bc5AcceptsTrim31InTheFirstIterationWritesItAndRestartsTheModule) {
  engine.freqOffsetsPpm = {Ppm(1.0)};
  calibration.OnAutoCalibrate();
  EXPECT_EQ(reports.lines(),
            (Lines{" ", "Currention is BC5 !", "Trim=31 ,offset=    1.000000 KHz", "Crystal Trim Pass !"}));
  EXPECT_EQ(engine.calls(), Join({{kOpenReference, kOpenModule, kChipVersion,
                                   {"radiotestRxdata1", "1,2441,0,0"},
                                   {"radiotestTxstart", "2,2441,50,250,0"},
                                   {"radiotestCfgXtalFtrim", "2,31"},
                                   {"wait", "100"},
                                   {"get_freq_offset", "1,100"},
                                   {"radiotestCalcXtalOffset", "2441,2441"},
                                   {"psWriteXtalFtrim", "2,31"}},
                                  kCommonEnd}));
  EXPECT_TRUE(window.messageBoxes().empty());
}

TEST_F(CrystalCalibration, Bc5SearchStepsFiveThenBySecantThenByOneAndStaysWithinTheTrimRange) {
  const struct {
    const char* name;
    std::vector<double> khz;  // one reading per measurement
    std::vector<int> trims;   // the trims measured
    int32_t result;
    int finalTrim;
  } kCases[] = {
      {"secant step back, then single steps", {3.0, -3.0, 2.6, 1.0}, {31, 36, 34, 35}, 1, 35},
      {"secant step forward", {6.0, 4.0, 2.6, 2.0}, {31, 36, 46, 47}, 1, 47},
      {"secant step of 0 measures the same trim again", {20.0, 3.0, 2.8, 1.0}, {31, 36, 36, 37}, 1, 37},
      {"equal readings give a slope of 0: one step", {3.0, 3.0, 1.0}, {31, 36, 37}, 1, 37},
      {"step past 63 stops at 63, which then fails", {3.0, 2.8, 2.6}, {31, 36, 63}, -1, 63},
      {"step past 0 stops at 0, which then fails", {-3.0, -2.8, -2.6}, {31, 26, 0}, -1, 0},
  };
  // The offsets are recorded whatever the library's offset calculation answers.
  for (int calcResult : {1, 0}) {
    for (const auto& c : kCases) {
      fakes::RecordingTestEngine radios;
      radios.SetDefault("radiotestCalcXtalOffset", calcResult);
      radios.freqOffsetsPpm = Readings(c.khz);
      radio::CrystalCalibration search{reports, radios, [](unsigned) {}};
      uint16_t trim = 0;
      EXPECT_EQ(search.SearchCrystalTrim(2, 1, trim), c.result) << c.name;
      EXPECT_EQ(TrimsTried(radios), c.trims) << c.name << ", calculation answering " << calcResult;
      EXPECT_EQ(trim, c.finalTrim) << c.name;
    }
  }
}

TEST_F(CrystalCalibration, Bc5WindowReachesUpToTwoAndAHalfKilohertzEitherWay) {
  for (double edge : {2.5, -2.5}) {
    double inside = PpmJustInside(edge);
    double outside = std::nextafter(inside, edge > 0 ? INFINITY : -INFINITY);
    const struct {
      double ppm;
      std::vector<int> trims;
    } kCases[] = {{inside, {31}}, {outside, {31, edge > 0 ? 36 : 26}}};
    for (const auto& c : kCases) {
      fakes::RecordingTestEngine radios;
      radios.freqOffsetsPpm = {c.ppm, 0.0};
      radio::CrystalCalibration search{reports, radios, [](unsigned) {}};
      uint16_t trim = 0;
      EXPECT_EQ(search.SearchCrystalTrim(2, 1, trim), 1);
      EXPECT_EQ(TrimsTried(radios), c.trims) << radio::OffsetKhz(c.ppm);
    }
  }
}

TEST_F(CrystalCalibration, Bc5SearchMeasuresAndShowsEachTrimAfterItSettled) {
  engine.freqOffsetsPpm = Readings({3.0, -3.0, 2.6, 1.0});
  uint16_t trim = 0;
  ASSERT_EQ(calibration.SearchCrystalTrim(2, 1, trim), 1);
  EXPECT_EQ(reports.lines(), (Lines{"Trim=31 ,offset=    3.000000 KHz", "Trim=36 ,offset=   -3.000000 KHz",
                                    "Trim=34 ,offset=    2.600000 KHz", "Trim=35 ,offset=    1.000000 KHz"}));
  Calls firstIteration(engine.calls().begin(), engine.calls().begin() + 4);
  EXPECT_EQ(firstIteration, (Calls{{"radiotestCfgXtalFtrim", "2,31"},
                                   {"wait", "100"},
                                   {"get_freq_offset", "1,100"},
                                   {"radiotestCalcXtalOffset", "2441,2441"}}));
  EXPECT_EQ(engine.CallsOf("wait").size(), 4u);
}

TEST_F(CrystalCalibration, OscillatingModuleEndsAsAFailureAfter64Measurements) {
  // Its error jumps across the window between trims 34 and 35.
  for (int i = 0; i < 100; ++i) engine.freqOffsetsPpm.push_back(Ppm(i % 2 == 0 ? 3.0 : -3.0));
  calibration.OnAutoCalibrate();
  EXPECT_EQ(engine.CallsOf("get_freq_offset").size(), 64u);
  EXPECT_EQ(reports.lines().back(), "Crystal Trim Fail !");
  EXPECT_TRUE(engine.CallsOf("psWriteXtalFtrim").empty());
  Calls tail(engine.calls().end() - 6, engine.calls().end());
  EXPECT_EQ(tail, kCommonEnd);
}

TEST_F(CrystalCalibration, Bc5FailuresAndWhatFollowsThem) {
  const Calls kStart = {kOpenReference, kOpenModule, kChipVersion};
  const Calls kRadiosOn = {{"radiotestRxdata1", "1,2441,0,0"}, {"radiotestTxstart", "2,2441,50,250,0"}};
  const Calls kFirstTrim = {{"radiotestCfgXtalFtrim", "2,31"}, {"wait", "100"}, {"get_freq_offset", "1,100"}};
  const struct {
    const char* name;
    Setup setup;
    Lines lines;
    Calls calls;
    std::vector<std::string> boxes;
  } kCases[] = {
      {"reference radio not opened",
       [](auto& e) { e.Script("openTestEngine", 0); },
       {" "},
       {kOpenReference, {"closeTestEngine", "0"}},
       {radio::kReferenceOpenFailed}},
      {"module not opened",
       [](auto& e) { e.Script("openTestEngineSpi", 0); },
       {" "},
       {kOpenReference, kOpenModule, {"closeTestEngine", "1"}},
       {dialog::kDeviceOpenFailed}},
      {"reference not receiving",
       [](auto& e) { e.Script("radiotestRxdata1", 0); },
       {" ", "Currention is BC5 !"},
       Join({kStart, {{"radiotestRxdata1", "1,2441,0,0"}, {"closeTestEngine", "2"}, {"closeTestEngine", "1"}}}),
       {}},
      {"module not transmitting",
       [](auto& e) { e.Script("radiotestTxstart", 0); },
       {" ", "Currention is BC5 !"},
       Join({kStart, kRadiosOn, {{"radiotestPause", "2"}, {"closeTestEngine", "2"}, {"closeTestEngine", "1"}}}),
       {}},
      {"trim not applied",
       [](auto& e) { e.Script("radiotestCfgXtalFtrim", 0); },
       {" ", "Currention is BC5 !", "DUT radiotestCfgXtalFtim failed !", "Crystal Trim Fail !"},
       Join({kStart, kRadiosOn, {{"radiotestCfgXtalFtrim", "2,31"}}, kCommonEnd}),
       {}},
      {"frequency error not read",
       [](auto& e) { e.Script("get_freq_offset", 0); },
       {" ", "Currention is BC5 !", "refEp get_freq_offset failed!", "Crystal Trim Fail !"},
       Join({kStart, kRadiosOn, kFirstTrim, kCommonEnd}),
       {}},
      {"trim not written: no restart",
       [](auto& e) { e.Script("psWriteXtalFtrim", 0); },
       {" ", "Currention is BC5 !", "Trim=31 ,offset=    0.000000 KHz", "DUT Write PS Failed !"},
       Join({kStart, kRadiosOn, kFirstTrim,
             {{"radiotestCalcXtalOffset", "2441,2441"},
              {"psWriteXtalFtrim", "2,31"},
              {"radiotestPause", "2"},
              {"closeTestEngine", "2"},
              {"closeTestEngine", "1"}}}),
       {}},
      {"chip version not read: BC5 even for a BC7",
       [](auto& e) {
         e.chipVersion = 7;
         e.Script("bccmdGetChipVersion", 0);
         e.Script("radiotestRxdata1", 0);
       },
       {" ", "bccmdGetChipRevision failed !", "Currention is BC5 !"},
       Join({kStart, {{"radiotestRxdata1", "1,2441,0,0"}, {"closeTestEngine", "2"}, {"closeTestEngine", "1"}}}),
       {}},
  };
  for (const auto& c : kCases) {
    Run run = RunOnce(c.setup, &radio::CrystalCalibration::OnAutoCalibrate);
    EXPECT_EQ(run.lines, c.lines) << c.name;
    EXPECT_EQ(run.calls, c.calls) << c.name;
    EXPECT_EQ(run.boxes, c.boxes) << c.name;
  }
}

TEST_F(CrystalCalibration, Bc7ClearsAStoredOffsetMeasuresOnceAndWritesTheComputedOffset) {
  const Calls kMeasure = {{"bccmdSetColdReset", "2,0"},
                          {"radiotestTxstart", "2,2441,50,250,0"},
                          {"radiotestRxdata1", "1,2441,0,0"},
                          {"get_freq_offset", "1,100"},
                          {"radiotestCalcXtalOffset", "2441,2441"},
                          {"psWriteXtalOffset", "2,-12"}};
  const struct {
    int16_t stored;
    Calls beforeReset;
  } kCases[] = {
      {0, {{"psReadXtalOffset", "2"}}},  // nothing to clear
      {40, {{"psReadXtalOffset", "2"}, {"psWriteXtalOffset", "2,0"}}},
  };
  for (const auto& c : kCases) {
    Run run = RunOnce(
        [&](auto& e) {
          e.chipVersion = 7;
          e.storedXtalOffset = c.stored;
          e.freqOffsetsPpm = {Ppm(3.0)};
          e.calcXtalOffset = -12;
        },
        &radio::CrystalCalibration::OnAutoCalibrate);
    EXPECT_EQ(run.lines,
              (Lines{" ", "Currention is BC7 !", "Trim=-12 ,offset=    3.000000 KHz", "Crystal offset Pass !"}))
        << c.stored;
    EXPECT_EQ(run.calls,
              Join({{kOpenReference, kOpenModule, kChipVersion}, c.beforeReset, kMeasure, kCommonEnd}))
        << c.stored;
  }
}

TEST_F(CrystalCalibration, Bc7FailuresAllEndWithTheRestart) {
  const struct {
    const char* failing;
    Lines lines;  // after "Currention is BC7 !"
    Calls calls;  // between the chip version and the common end
  } kCases[] = {
      {"psReadXtalOffset", {"Failed to read DUT PS crystal offset!"}, {{"psReadXtalOffset", "2"}}},
      {"psWriteXtalOffset",
       {"Failed to Write DUT PS crystal offset!"},
       {{"psReadXtalOffset", "2"}, {"psWriteXtalOffset", "2,0"}}},
      {"bccmdSetColdReset",
       {"bccmdSetColdReset Failed !"},
       {{"psReadXtalOffset", "2"}, {"psWriteXtalOffset", "2,0"}, {"bccmdSetColdReset", "2,0"}}},
      {"radiotestTxstart",
       {},
       {{"psReadXtalOffset", "2"},
        {"psWriteXtalOffset", "2,0"},
        {"bccmdSetColdReset", "2,0"},
        {"radiotestTxstart", "2,2441,50,250,0"},
        {"radiotestPause", "2"}}},
      {"radiotestRxdata1",
       {},
       {{"psReadXtalOffset", "2"},
        {"psWriteXtalOffset", "2,0"},
        {"bccmdSetColdReset", "2,0"},
        {"radiotestTxstart", "2,2441,50,250,0"},
        {"radiotestRxdata1", "1,2441,0,0"}}},
      {"get_freq_offset",
       {"refEp get_freq_offset failed!"},
       {{"psReadXtalOffset", "2"},
        {"psWriteXtalOffset", "2,0"},
        {"bccmdSetColdReset", "2,0"},
        {"radiotestTxstart", "2,2441,50,250,0"},
        {"radiotestRxdata1", "1,2441,0,0"},
        {"get_freq_offset", "1,100"}}},
      {"radiotestCalcXtalOffset",
       {"Crystal offset failed!"},
       {{"psReadXtalOffset", "2"},
        {"psWriteXtalOffset", "2,0"},
        {"bccmdSetColdReset", "2,0"},
        {"radiotestTxstart", "2,2441,50,250,0"},
        {"radiotestRxdata1", "1,2441,0,0"},
        {"get_freq_offset", "1,100"},
        {"radiotestCalcXtalOffset", "2441,2441"}}},
  };
  for (const auto& c : kCases) {
    Run run = RunOnce(
        [&](auto& e) {
          e.chipVersion = 7;
          e.storedXtalOffset = 40;
          e.Script(c.failing, 0);
        },
        &radio::CrystalCalibration::OnAutoCalibrate);
    Lines expected = {" ", "Currention is BC7 !"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(run.lines, expected) << c.failing;
    EXPECT_EQ(run.calls, Join({{kOpenReference, kOpenModule, kChipVersion}, c.calls, kCommonEnd}))
        << c.failing;
  }
}

TEST_F(CrystalCalibration, Bc7OffsetNotWrittenIsAFailureNotAPass) {
  engine.chipVersion = 7;
  engine.calcXtalOffset = 9;
  engine.SetDefault("psWriteXtalOffset", 0);  // the store refuses every write
  int16_t offset = 0;
  EXPECT_EQ(calibration.CalibrateCrystalOffset(2, 1, offset), -1);
  EXPECT_EQ(offset, 9);
  EXPECT_EQ(reports.lines(), (Lines{"Trim=9 ,offset=    0.000000 KHz", "DUT Write PS Failed !"}));
}

TEST_F(CrystalCalibration, ResetRunsOnTheProgrammingConnectionAndReportsTheLibrarysAnswer) {
  const Call kFirst{"openTestEngine", "2,\\\\.\\CSR0,0,0,100"};
  const struct {
    const char* name;
    bool device1, device2;
    int calcResult;
    Lines lines;
    Calls calls;
  } kCases[] = {
      {"no box ticked: module handle 1",
       false, false, 1, {" ", "复位成功!"},
       {kFirst,
        {"radiotestTxstart", "1,2441,50,255,1"},
        {"radiotestCalcXtalOffset", "2441,0"},
        {"closeTestEngine", "1"},
        {"closeTestEngine", "1"}}},
      {"device 1",
       true, false, 0, {" ", "复位失败!"},
       {kFirst,
        {"openTestEngineSpiTrans", "SPITRANS=USB SPIPORT=0,0"},
        {"radiotestTxstart", "2,2441,50,255,1"},
        {"radiotestCalcXtalOffset", "2441,0"},
        {"closeTestEngine", "2"},
        {"closeTestEngine", "1"}}},
      {"device 2 alone: nothing closed before the reset",
       false, true, 1, {" ", "复位成功!"},
       {kFirst,
        {"openTestEngineSpiTrans", "SPITRANS=LPT SPIPORT=1,0"},
        {"radiotestTxstart", "2,2441,50,255,1"},
        {"radiotestCalcXtalOffset", "2441,0"},
        {"closeTestEngine", "2"},
        {"closeTestEngine", "1"}}},
  };
  for (const auto& c : kCases) {
    Tick(res::IDC_DEVICE1, c.device1);
    Tick(res::IDC_DEVICE2, c.device2);
    Run run = RunOnce([&](auto& e) { e.Script("radiotestCalcXtalOffset", c.calcResult); },
                      &radio::CrystalCalibration::OnReset);
    EXPECT_EQ(run.lines, c.lines) << c.name;
    EXPECT_EQ(run.calls, c.calls) << c.name;
    EXPECT_TRUE(run.boxes.empty()) << c.name;
  }
}

TEST_F(CrystalCalibration, ResetWithAModuleThatDoesNotOpenStopsAtTheBox) {
  Tick(res::IDC_DEVICE1);
  engine.Script("openTestEngineSpiTrans", 0);
  calibration.OnReset();
  EXPECT_EQ(reports.lines(), (Lines{" "}));
  ASSERT_EQ(window.messageBoxes().size(), 1u);
  EXPECT_EQ(window.messageBoxes()[0].text, dialog::kDeviceOpenFailed);
  EXPECT_EQ(engine.calls(), (Calls{{"openTestEngine", "2,\\\\.\\CSR0,0,0,100"},
                                   {"openTestEngineSpiTrans", "SPITRANS=USB SPIPORT=0,0"},
                                   {"closeTestEngine", "0"},
                                   {"closeTestEngine", "1"}}));
}

TEST_F(CrystalCalibration, ButtonsAreRoutedToTheCalibrationAndTheReset) {
  engine.Script("openTestEngine", 0);  // no reference radio: the calibration stops at once
  EXPECT_TRUE(dialog.OnCommand(res::IDC_AUTO_CALIBRATE));
  ASSERT_EQ(window.messageBoxes().size(), 1u);
  EXPECT_EQ(window.messageBoxes()[0].text, radio::kReferenceOpenFailed);

  engine.Clear();
  EXPECT_TRUE(dialog.OnCommand(res::IDC_RESET));
  EXPECT_EQ(engine.calls().at(1), (Call{"radiotestTxstart", "1,2441,50,255,1"}));
  EXPECT_EQ(Status(), "复位成功!");
}

}  // namespace
