#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pio/pio_monitor.h"
#include "pio/pio_test.h"
#include "tests/support/dialog_fixture.h"
#include "tests/support/reported_lines.h"

namespace {

using fakes::Call;
using fakes::Calls;
using Lines = std::vector<std::string>;

const Call kOpenDevice1{"openTestEngineSpiTrans", "SPITRANS=USB SPIPORT=0,0"};
const Call kOpenDevice2{"openTestEngineSpiTrans", "SPITRANS=LPT SPIPORT=1,0"};

class PioOutput : public fakes::DialogTest {
 protected:
  fakes::ReportedLines reports{dialog};
  pio::PioMonitor monitor;
  pio::PioTest test{reports, engine, monitor};
};

TEST_F(PioOutput, MapsAll32LinesOnTheTickedDeviceAndReportsTheRefusedOnes) {
  const struct {
    const char* name;
    bool device1, device2;
    int device1Open;  // what device 1's open answers; -1 leaves the fake's numbering
    Calls calls;
  } kCases[] = {
      {"device 1", true, false, -1,
       {kOpenDevice1, {"bccmdMapPio32", "1,0xffffffff,0xffffffff"}, {"closeTestEngine", "1"}}},
      {"device 2", false, true, -1,
       {kOpenDevice2, {"bccmdMapPio32", "1,0xffffffff,0xffffffff"}, {"closeTestEngine", "1"}}},
      {"both: device 2, and device 1's connection closed", true, true, -1,
       {kOpenDevice1,
        kOpenDevice2,
        {"closeTestEngine", "1"},
        {"bccmdMapPio32", "2,0xffffffff,0xffffffff"},
        {"closeTestEngine", "2"}}},
      {"device 1 does not open, device 2 does", true, true, 0,
       {kOpenDevice1, kOpenDevice2, {"bccmdMapPio32", "2,0xffffffff,0xffffffff"}, {"closeTestEngine", "2"}}},
  };
  for (const auto& c : kCases) {
    Tick(res::IDC_DEVICE1, c.device1);
    Tick(res::IDC_DEVICE2, c.device2);
    fakes::RecordingTestEngine module;
    if (c.device1Open >= 0) module.Script("openTestEngineSpiTrans", c.device1Open);
    fakes::ReportedLines lines{dialog};
    pio::PioTest(lines, module, monitor).OnTesting();
    EXPECT_EQ(lines.lines(), (Lines{" ", "if bit was 1, can't to set: 1 0x0"})) << c.name;
    EXPECT_EQ(module.calls(), c.calls) << c.name;
  }
  EXPECT_TRUE(window.messageBoxes().empty());
}

TEST_F(PioOutput, FailedMappingShowsTheResultAndTheWordAndStillCloses) {
  Tick(res::IDC_DEVICE1);
  engine.Script("bccmdMapPio32", -3);
  engine.refusedPios = 0x80000005;
  test.OnTesting();
  EXPECT_EQ(reports.lines(), (Lines{" ", "if bit was 1, can't to set: -3 0x80000005"}));
  EXPECT_EQ(engine.calls().back(), (Call{"closeTestEngine", "1"}));
}

TEST_F(PioOutput, NoDeviceToTestShowsTheBoxAndClosesNothingButZero) {
  const struct {
    const char* name;
    bool device1;
    Calls calls;
  } kCases[] = {
      {"no box ticked", false, {{"closeTestEngine", "0"}}},
      {"device 1 does not open", true, {kOpenDevice1, {"closeTestEngine", "0"}}},
  };
  for (const auto& c : kCases) {
    Tick(res::IDC_DEVICE1, c.device1);
    fakes::RecordingTestEngine module;
    module.Script("openTestEngineSpiTrans", 0);
    fakes::ReportedLines lines{dialog};
    size_t boxes = window.messageBoxes().size();
    pio::PioTest(lines, module, monitor).OnTesting();
    EXPECT_EQ(lines.lines(), (Lines{" "})) << c.name;
    EXPECT_EQ(Status(), " ") << c.name;
    EXPECT_EQ(module.calls(), c.calls) << c.name;
    ASSERT_EQ(window.messageBoxes().size(), boxes + 1) << c.name;
    EXPECT_EQ(window.messageBoxes().back().text, dialog::kDeviceOpenFailed) << c.name;
  }
}

TEST_F(PioOutput, CountdownIsReadFromTheSettingsEachTimeTheTestStarts) {
  const struct {
    const char* file;
    uint32_t countdown;
  } kCases[] = {
      {"[PIO]\r\ntestTimeout=25\r\n", 25},
      {"[PIO]\r\ntestTimeout=4x\r\n", 112},  // no validation, as every number of the file
      {"[PIO]\r\npio_1=7\r\n", 0},
  };
  for (const auto& c : kCases) {
    folder.Write("btconfig.ini", c.file);
    monitor.SetCountdown(999);
    test.OnTesting();
    EXPECT_EQ(monitor.countdown(), c.countdown) << c.file;
  }
}

TEST_F(PioOutput, ButtonIsRouted) {
  Tick(res::IDC_DEVICE2);
  EXPECT_TRUE(dialog.OnCommand(res::IDC_TESTING));
  EXPECT_EQ(Status(), "if bit was 1, can't to set: 1 0x0");
  EXPECT_EQ(engine.calls().front(), kOpenDevice2);
}

}  // namespace
