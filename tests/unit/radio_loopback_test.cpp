#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "radio/loopback.h"
#include "tests/support/dialog_fixture.h"
#include "tests/support/reported_lines.h"

namespace {

using fakes::Call;
using fakes::Calls;
using Lines = std::vector<std::string>;

const Call kFirst{"openTestEngine", "2,\\\\.\\CSR0,0,0,100"};
const Call kOpenDevice1{"openTestEngineSpiTrans", "SPITRANS=USB SPIPORT=0,0"};

using Loopback = fakes::DialogTest;

TEST_F(Loopback, EachMicrophoneIsReportedWhateverTheOtherGave) {
  const struct {
    int right, left;
    Lines lines;
  } kCases[] = {
      {1, 1, {" ", "MicR to SpkL and SpkR 成功!", "MicL to SpkL and SpkR 成功!"}},
      {0, 1, {" ", "MicR to SpkL and SpkR 失败!", "MicL to SpkL and SpkR 成功!"}},
      {1, 0, {" ", "MicR to SpkL and SpkR 成功!", "MicL to SpkL and SpkR 失败!"}},
      {0, 0, {" ", "MicR to SpkL and SpkR 失败!", "MicL to SpkL and SpkR 失败!"}},
  };
  Tick(res::IDC_DEVICE1);
  for (const auto& c : kCases) {
    fakes::RecordingTestEngine module;
    module.Script("openTestEngineSpiTrans", 1);
    module.Script("radiotestStereoCodecLB", c.right);
    module.Script("radiotestStereoCodecLB", c.left);
    fakes::ReportedLines lines{dialog};
    radio::LoopbackTest(lines, module).OnMicAndSpeaker();
    EXPECT_EQ(lines.lines(), c.lines);
    EXPECT_EQ(module.calls(), (Calls{kFirst,
                                     kOpenDevice1,
                                     {"radiotestStereoCodecLB", "1,44100,1"},
                                     {"radiotestStereoCodecLB", "1,44100,2"},
                                     {"closeTestEngine", "1"},
                                     {"closeTestEngine", "1"}}));
  }
  EXPECT_TRUE(window.messageBoxes().empty());
}

TEST_F(Loopback, ModuleThatIsNotConnectionOneEndsAtTheBox) {
  const struct {
    const char* name;
    bool device1, device2;
    bool opens;
    Calls calls;
  } kCases[] = {
      {"opened as 2", true, false, true, {kFirst, kOpenDevice1, {"closeTestEngine", "2"}, {"closeTestEngine", "1"}}},
      {"not opened", true, false, false, {kFirst, kOpenDevice1, {"closeTestEngine", "0"}, {"closeTestEngine", "1"}}},
      {"no box ticked", false, false, true, {kFirst, {"closeTestEngine", "0"}, {"closeTestEngine", "1"}}},
      {"device 2 replaces device 1 as 3",
       true, true, true,
       {kFirst,
        kOpenDevice1,
        {"openTestEngineSpiTrans", "SPITRANS=LPT SPIPORT=1,0"},
        {"closeTestEngine", "2"},
        {"closeTestEngine", "3"},
        {"closeTestEngine", "1"}}},
  };
  for (const auto& c : kCases) {
    Tick(res::IDC_DEVICE1, c.device1);
    Tick(res::IDC_DEVICE2, c.device2);
    fakes::RecordingTestEngine module;
    if (!c.opens) module.Script("openTestEngineSpiTrans", 0);
    fakes::ReportedLines lines{dialog};
    size_t boxes = window.messageBoxes().size();
    radio::LoopbackTest(lines, module).OnMicAndSpeaker();
    EXPECT_EQ(lines.lines(), (Lines{" "})) << c.name;
    EXPECT_EQ(module.calls(), c.calls) << c.name;
    ASSERT_EQ(window.messageBoxes().size(), boxes + 1) << c.name;
    EXPECT_EQ(window.messageBoxes().back().text, dialog::kDeviceOpenFailed) << c.name;
  }
}

TEST_F(Loopback, ButtonIsRouted) {
  Tick(res::IDC_DEVICE1);
  engine.Script("openTestEngineSpiTrans", 1);
  EXPECT_TRUE(dialog.OnCommand(res::IDC_MIC_SPEAKER));
  EXPECT_EQ(Log(), " \r\nMicR to SpkL and SpkR 成功!\r\nMicL to SpkL and SpkR 成功!");
}

}  // namespace
