#include <gtest/gtest.h>

#include "memory/tool_runner.h"
#include "platform/child_process.h"
#include "tests/unit/memory_fixture.h"

namespace {

using memory::ToolAction;
using memtest::Call;
using memtest::Calls;
using memtest::kDevice1;
using memtest::kDevice2;
using memtest::MemoryTest;

class ToolRoad : public MemoryTest {
 protected:
  void Burn(const char* transport = kDevice1) { memory::ToolBurn(services, flash, host(), transport); }
  static Calls Reset(const char* transport, bool burned) {
    Calls calls = {{"flInitTrans", std::string(transport) + ",26,2"}};
    if (burned) calls.push_back({"Report", "flash烧录完成!"});
    calls.insert(calls.end(), 5, Call{"flResetAndStart", ""});
    calls.push_back({"flClose", ""});
    return calls;
  }
};

TEST(ToolCommandLine, OneLinePerAdapterAndAction) {
  const struct {
    const char* transport;
    ToolAction action;
    const char* path;
    const char* line;
  } kLines[] = {
      {kDevice1, ToolAction::Burn, "D:\\fw\\app.xuv", "nvscmd.exe -usb 0 burn D:\\fw\\app.xuv"},
      {kDevice2, ToolAction::Burn, "D:\\my fw\\app.xuv", "nvscmd.exe -lpt 1 burn \"D:\\my fw\\app.xuv\""},
      {kDevice1, ToolAction::Dump, "", "nvscmd.exe -usb 0 dump flashdump.xuv "},
      {kDevice2, ToolAction::Dump, "", "nvscmd.exe -lpt 1 dump flashdump.xuv "},
      {kDevice1, ToolAction::Erase, "", "nvscmd.exe -usb 0 erase"},
      {kDevice2, ToolAction::Erase, "", "nvscmd.exe -lpt 1 erase"},
      {"SPITRANS=USB SPIPORT=1", ToolAction::Burn, "a.xuv", ""},
      {"spitrans=usb spiport=0", ToolAction::Erase, "", ""},
      {"SPITRANS=USB SPIPORT=0 ", ToolAction::Dump, "", ""},
      {"", ToolAction::Dump, "", ""},
  };
  for (const auto& c : kLines) {
    EXPECT_EQ(memory::ToolCommandLine(c.transport, c.action, c.path), c.line) << c.transport;
  }
}

TEST(ToolCommandLine, FirmwarePathComesBackAsOneWord) {
  const struct {
    const char* path;
    const char* written;  // what follows "nvscmd.exe -usb 0 burn "
  } kPaths[] = {
      {"D:\\fw\\app.xuv", "D:\\fw\\app.xuv"},
      {"D:\\fw\\", "D:\\fw\\"},  // no blank: as it stands, the backslash is plain
      {"D:\\My Firmware\\app.xuv", "\"D:\\My Firmware\\app.xuv\""},
      {"D:\\My\tFirmware\\app.xuv", "\"D:\\My\tFirmware\\app.xuv\""},
      {" app.xuv ", "\" app.xuv \""},
      // A trailing run of backslashes is doubled, or it would escape the closing quote.
      {"D:\\My Firmware\\", "\"D:\\My Firmware\\\\\""},
      {"D:\\My Firmware\\\\", "\"D:\\My Firmware\\\\\\\\\""},
      {"D:\\a\\\\ b\\c.xuv", "\"D:\\a\\\\ b\\c.xuv\""},  // backslashes elsewhere stay as they are
      {"D:\\固件 包\\", "\"D:\\固件 包\\\\\""},
      // The second byte of this character is 0x5C, no backslash: nothing to double.
      {"D:\\a b\\\x81\x5C", "\"D:\\a b\\\x81\x5C\""},
  };
  for (const auto& c : kPaths) {
    const std::string line = memory::ToolCommandLine(kDevice1, ToolAction::Burn, c.path);
    EXPECT_EQ(line, std::string("nvscmd.exe -usb 0 burn ") + c.written) << c.path;
    EXPECT_EQ(platform::SplitCommandLine(line), (std::vector<std::string>{"nvscmd.exe", "-usb", "0", "burn", c.path}))
        << c.path;
  }
}

TEST_F(ToolRoad, BurnRelaysEachChunkAsPlainTextThenResets) {
  ChooseFirmware("D:\\fw\\app.xuv");
  tool.Say("Writing 50% %s %n done\r\n");
  tool.Say(std::string(4094, 'x') + "y");
  // A two-byte character that would straddle the 255-byte report goes whole into the next.
  tool.Say(std::string(254, 'z') + "\xd6\xd0ok");
  Burn();
  Calls expected = {{"Report", " "},
                    {"nvscmd", "nvscmd.exe -usb 0 burn D:\\fw\\app.xuv"},
                    {"Report", "Writing 50% %s %n done\r\n"}};
  // A chunk longer than the report's 255 bytes comes out whole, in reports of 255.
  for (int i = 0; i < 16; ++i) expected.push_back({"Report", std::string(255, 'x')});
  expected.push_back({"Report", std::string(14, 'x') + "y"});
  expected.push_back({"Report", std::string(254, 'z')});
  expected.push_back({"Report", "\xd6\xd0ok"});
  Calls reset = Reset(kDevice1, true);
  expected.insert(expected.end(), reset.begin(), reset.end());
  EXPECT_EQ(allCalls, expected);
  EXPECT_EQ(tool.readSizes, (std::vector<size_t>{4095, 4095, 4095, 4095}));
  EXPECT_EQ(clock.sleeps, (std::vector<unsigned>{200, 200, 200}));
  EXPECT_EQ(services.showFieldsCalls, 3);
  EXPECT_EQ(window.ItemText(res::IDC_PROGRESS), " ");
}

TEST_F(ToolRoad, BurnThatTheToolFailedShowsItsExitCodeInsteadOfTheCompletionLine) {
  const Call kFailed{"Report", "nvscmd.exe 退出码 3, 烧录失败! "};
  const Calls kInit{{"flInitTrans", std::string(kDevice1) + ",26,2"}};
  const Calls kCannotOpen{kInit[0], {"flClose", ""}};
  const struct {
    const char* what;
    int exit;
    bool testFlashOpens;
    Calls after;  // what follows the tool's output
  } kCases[] = {
      {"done", 0, true, Reset(kDevice1, true)},
      {"failed", 3, true, [&] {
         Calls calls = {kFailed};
         Calls reset = Reset(kDevice1, false);
         calls.insert(calls.end(), reset.begin(), reset.end());
         return calls;
       }()},
      {"failed, TestFlash shut out", 3, false, Calls{kFailed, kCannotOpen[0], kCannotOpen[1]}},
      {"done, TestFlash shut out", 0, false, kCannotOpen},
  };
  ChooseFirmware("app.xuv");
  for (const auto& c : kCases) {
    allCalls.clear();
    tool.Say("Error: cannot find file");
    tool.exits = {c.exit};
    if (!c.testFlashOpens) flash.Script("flInitTrans", 1);
    Burn();
    Calls expected = {{"Report", " "}, {"nvscmd", "nvscmd.exe -usb 0 burn app.xuv"}, {"Report", "Error: cannot find file"}};
    expected.insert(expected.end(), c.after.begin(), c.after.end());
    EXPECT_EQ(allCalls, expected) << c.what;
  }
}

TEST_F(ToolRoad, ToolStoppedAfterItsOutputEndedIsNotTakenForDone) {
  ChooseFirmware("app.xuv");
  for (int action = 0; action < 3; ++action) {
    allCalls.clear();
    tool.exits = {std::nullopt};
    if (action == 0) Burn();
    else if (action == 1) memory::ToolDump(services, flash, host(), kDevice1);
    else memory::ToolErase(services, flash, host(), kDevice1);
    EXPECT_EQ(Reports().back(), "nvscmd.exe did not exit within 2 s of its output's end and was stopped !") << action;
    EXPECT_TRUE(flash.calls().empty()) << action;  // neither completion nor reset
  }
}

TEST_F(ToolRoad, DumpAndEraseAddNoCompletionLine) {
  for (bool dump : {true, false}) {
    allCalls.clear();
    tool.Say("done");
    if (dump) memory::ToolDump(services, flash, host(), kDevice2);
    else memory::ToolErase(services, flash, host(), kDevice2);
    Calls expected = {{"Report", " "},
                      {"nvscmd", dump ? "nvscmd.exe -lpt 1 dump flashdump.xuv " : "nvscmd.exe -lpt 1 erase"},
                      {"Report", "done"}};
    Calls reset = Reset(kDevice2, false);
    expected.insert(expected.end(), reset.begin(), reset.end());
    EXPECT_EQ(allCalls, expected) << dump;

    // Whatever the exit code, the tool's own output is their only word.
    allCalls.clear();
    tool.Say("Error: device does not respond");
    tool.exits = {6};
    if (dump) memory::ToolDump(services, flash, host(), kDevice2);
    else memory::ToolErase(services, flash, host(), kDevice2);
    expected[2] = {"Report", "Error: device does not respond"};
    EXPECT_EQ(allCalls, expected) << dump;
  }
}

TEST_F(ToolRoad, ToolThatCannotRunGetsItsBoxAndNoReset) {
  const struct {
    const char* what;
    const char* transport;
    platform::StartResult start;
    const char* box;
    bool started;
  } kCases[] = {
      {"unknown adapter", "SPITRANS=USB SPIPORT=1", platform::StartResult::Started, "Error On CreateProcess", false},
      {"no program", kDevice1, platform::StartResult::NoProgram, "Error On CreateProcess", true},
      {"no pipe", kDevice1, platform::StartResult::NoPipe, "Error On CreatePipe()", true},
  };
  ChooseFirmware("app.xuv");
  for (const auto& c : kCases) {
    allCalls.clear();
    window.SetItemText(res::IDC_MEMORY_SIZE, "2Mbit");
    tool.startResult = c.start;
    Burn(c.transport);
    Calls expected = {{"Report", " "}};
    if (c.started) expected.push_back({"nvscmd", "nvscmd.exe -usb 0 burn app.xuv"});
    EXPECT_EQ(allCalls, expected) << c.what;
    EXPECT_EQ(window.messageBoxes().back().text, c.box) << c.what;
    EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), "2Mbit") << c.what;
  }
}

TEST_F(ToolRoad, EmptyPathStartsNothing) {
  Burn();
  EXPECT_EQ(allCalls, (Calls{{"Report", "haven't .XUV file!!!"}}));
}

TEST_F(ToolRoad, SilentToolIsEndedAfterTwoMinutes) {
  ChooseFirmware("app.xuv");
  tool.Say("erasing");
  tool.silentForever = true;
  const uint64_t start = clock.now;
  Burn();
  EXPECT_EQ(tool.kills, 1);
  EXPECT_EQ(Reports().back(), "nvscmd.exe gave no sign for 120 s and was stopped !");
  EXPECT_TRUE(flash.calls().empty());  // no completion line, no reset
  EXPECT_GE(clock.now - start, 120'000u);
  EXPECT_LT(clock.now - start, 121'000u);
  EXPECT_GT(window.keepPaintingCalls(), 100);  // the window kept painting while it waited
}

TEST_F(ToolRoad, ToolThatKeepsTalkingIsNeverCutOff) {
  ChooseFirmware("app.xuv");
  for (int i = 0; i < 3; ++i) {
    for (int quiet = 0; quiet < 400; ++quiet) tool.Pause();  // 100 s of silence
    tool.Say("still here");
  }
  Burn();
  EXPECT_EQ(tool.kills, 0);
  EXPECT_EQ(Reports().back(), "flash烧录完成!");
}

TEST_F(ToolRoad, NoCompletionWhenTestFlashCannotOpenAfterTheRun) {
  ChooseFirmware("app.xuv");
  flash.Script("flInitTrans", 1);
  Burn();
  EXPECT_EQ(flash.calls(), (Calls{{"flInitTrans", std::string(kDevice1) + ",26,2"}, {"flClose", ""}}));
  EXPECT_EQ(Reports(), (std::vector<std::string>{" "}));  // a tool that printed nothing adds nothing
}

}  // namespace
