#ifdef _WIN32
#include <windows.h>
#undef WriteProfileString  // a macro of windows.h, and the name of a function of ours
#else
#include <signal.h>
#endif

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "memory/tool_runner.h"
#include "tests/station/memory_station_fixture.h"

namespace {

using station::kDevice1;
using station::MemoryStation;
using station::Words;

class ToolChild : public MemoryStation {
 protected:
  std::optional<int> Run(const std::string& commandLine) {
    return memory::RunTool(*dialog, host, kDevice1, commandLine);
  }
#ifdef _WIN32
  static bool Gone(int pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) return true;
    bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
  }
#else
  static bool Gone(int pid) { return kill(pid, 0) == -1 && errno == ESRCH; }
#endif
  int ReadPid(const std::string& file) {
    int pid = 0;
    std::ifstream(file) >> pid;
    return pid;
  }
};

uint64_t Now() { return memory::SystemClock().NowMs(); }

TEST_F(ToolChild, CommandLineReachesTheToolWordForWordAndIsNeverRunByAShell) {
  UseTool(TOOL_SCRIPT);
  window.SetCheck(res::IDC_SPI_FLASH, dialog::kBstChecked);
  TickDevices(true, true);
  ChooseFirmware("D:\\my fw\\a;b$(touch pwned)`touch pwned2`|x>y.xuv");
  commands().OnBrun();
  EXPECT_EQ(window.statuses,
            (std::vector<std::string>{" ", "[nvscmd.exe][-usb][0][burn][D:\\my fw\\a;b$(touch pwned)`touch pwned2`|x>y.xuv]",
                                      "flash烧录完成!", " ",
                                      "[nvscmd.exe][-lpt][1][burn][D:\\my fw\\a;b$(touch pwned)`touch pwned2`|x>y.xuv]",
                                      "flash烧录完成!"}));
  for (const char* made : {"pwned", "pwned2", "y.xuv"}) EXPECT_FALSE(std::filesystem::exists(made)) << made;

  window.statuses.clear();
  TickDevices(false, true);
  commands().OnErase();
  commands().OnDump();
  EXPECT_EQ(window.statuses, (std::vector<std::string>{" ", "[nvscmd.exe][-lpt][1][erase]", " ",
                                                       "[nvscmd.exe][-lpt][1][dump][flashdump.xuv]"}));
}

TEST_F(ToolChild, PathWithBlanksReachesTheToolAsOneArgument) {
  UseTool(TOOL_SCRIPT);
  window.SetCheck(res::IDC_SPI_FLASH, dialog::kBstChecked);
  TickDevices(true, false);
  for (const char* path : {"D:\\My Firmware\\app.xuv", "D:\\My Firmware\\", "D:\\My\tFirmware\\\\", "D:\\fw\\"}) {
    window.statuses.clear();
    ChooseFirmware(path);
    commands().OnBrun();
    EXPECT_EQ(window.statuses,
              (std::vector<std::string>{" ", std::string("[nvscmd.exe][-usb][0][burn][") + path + "]", "flash烧录完成!"}))
        << path;
  }
}

TEST_F(ToolChild, RealToolBurnsAFileFromAFolderWithABlankInItsName) {
  UseTool(NVSCMD);
  std::filesystem::create_directory("My Firmware");
  std::filesystem::copy_file(Sample("sample_spi.xuv"), "My Firmware/app.xuv");
  window.SetCheck(res::IDC_SPI_FLASH, dialog::kBstChecked);
  TickDevices(true, false);
  ChooseFirmware(folder.path() + "/My Firmware/app.xuv");
  commands().OnBrun();
  for (const std::string& status : window.statuses) EXPECT_EQ(status.find("Error"), std::string::npos) << status;
  EXPECT_EQ(window.statuses.back(), "flash烧录完成!");

  commands().OnDump();
  const auto image = Words(Sample("sample_spi.xuv"));
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(Words(folder.path() + "/flashdump.xuv"), image);
}

TEST_F(ToolChild, BurnTheRealToolFailedShowsItsExitCodeAndTheChipIsStillReset) {
  const struct {
    const char* knob;
    const char* line;
  } kFaults[] = {
      {"nvscmd", "nvscmd.exe 退出码 6, 烧录失败! "},
      {"nvscmd_no_file", "nvscmd.exe 退出码 3, 烧录失败! "},
  };
  UseTool(NVSCMD);
  ASSERT_TRUE(platform::WriteProfileString("station", "trace", "on", "station/station.ini"));
  window.SetCheck(res::IDC_SPI_FLASH, dialog::kBstChecked);
  TickDevices(true, false);
  ChooseFirmware(Sample("sample_spi.xuv"));
  for (const auto& c : kFaults) {
    ASSERT_TRUE(platform::WriteProfileString("faults", c.knob, "bc5", "station/station.ini"));
    std::filesystem::remove("station/trace.log");
    window.statuses.clear();
    commands().OnBrun();
    ASSERT_GE(window.statuses.size(), 2u) << c.knob;
    EXPECT_EQ(window.statuses.back(), c.line) << c.knob;
    EXPECT_FALSE(Shown("flash烧录完成!")) << c.knob;
    // The chip is restarted after the failed burn as after a good one.
    std::istringstream trace(station::ReadWhole("station/trace.log"));
    int resets = 0;
    for (std::string line; std::getline(trace, line);) resets += line.rfind("flResetAndStart(", 0) == 0;
    EXPECT_EQ(resets, 5) << c.knob;
    ASSERT_TRUE(platform::WriteProfileString("faults", c.knob, "", "station/station.ini"));
  }

  // Without the fault the same burn is complete again.
  window.statuses.clear();
  commands().OnBrun();
  EXPECT_EQ(window.statuses.back(), "flash烧录完成!");
}

TEST_F(ToolChild, ToolThatEndsItsOutputHasTwoSecondsToExit) {
  UseTool(TOOL_SCRIPT);
  uint64_t start = Now();
  EXPECT_EQ(Run("nvscmd.exe --exit-later 500 7"), 7);  // exited within the grace: not stopped
  uint64_t took = Now() - start;
  EXPECT_GE(took, 450u);
  EXPECT_LT(took, 1900u);
  EXPECT_EQ(window.statuses, std::vector<std::string>{"closing"});

  window.statuses.clear();
  const std::string pidFile = folder.path() + "/tool.pid";
  start = Now();
  EXPECT_EQ(Run("nvscmd.exe --linger " + pidFile), std::nullopt);
  took = Now() - start;
  EXPECT_GE(took, 1900u);  // not at once
  EXPECT_LT(took, 3500u);  // and not never
  EXPECT_EQ(window.statuses,
            std::vector<std::string>{"nvscmd.exe did not exit within 2 s of its output's end and was stopped !"});
  int pid = ReadPid(pidFile);
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(Gone(pid));
}

TEST_F(ToolChild, OutputIsShownAsPlainTextChunkByChunk) {
  UseTool(TOOL_SCRIPT);
  ASSERT_TRUE(Run("nvscmd.exe --long-then-short"));
  // The long chunk comes out whole in reports of the message's 255 bytes; the
  // short one after it shows only itself.
  std::vector<std::string> expected(16, std::string(255, 'x'));
  expected.push_back(std::string(15, 'x'));
  expected.push_back("ok 100% %d %s %n");
  EXPECT_EQ(window.statuses, expected);
  window.statuses.clear();
  ASSERT_TRUE(Run("nvscmd.exe --stderr"));
  EXPECT_EQ(window.statuses, std::vector<std::string>{"on stderr"});
}

TEST_F(ToolChild, ToolThatCannotBeStartedGetsTheBoxAndNoReset) {
  const struct {
    const char* what;
    const char* tool;  // put in the working folder as nvscmd.exe, if any
    const char* transport;
  } kCases[] = {
      {"no tool anywhere", nullptr, kDevice1},
      {"adapter the tool has no option for", NVSCMD, "SPITRANS=USB SPIPORT=1"},
  };
  for (const auto& c : kCases) {
    std::filesystem::remove("nvscmd.exe");
    if (c.tool) UseTool(c.tool);
    transports.Device1Transport = c.transport;
    window.statuses.clear();
    window.SetCheck(res::IDC_SPI_FLASH, dialog::kBstChecked);
    TickDevices(true, false);
    ChooseFirmware(Sample("sample_spi.xuv"));
    commands().OnBrun();
    EXPECT_EQ(window.messageBoxes().back().text, "Error On CreateProcess") << c.what;
    EXPECT_EQ(window.statuses, std::vector<std::string>{" "}) << c.what;
  }
}

TEST_F(ToolChild, HangingToolIsEndedAndCollected) {
  UseTool(TOOL_SCRIPT);
  host.toolSilenceMs = 500;
  const std::string pidFile = folder.path() + "/tool.pid";
  EXPECT_FALSE(Run("nvscmd.exe --hang " + pidFile));
  ASSERT_FALSE(window.statuses.empty());
  EXPECT_EQ(window.statuses.back().rfind("nvscmd.exe gave no sign for", 0), 0u) << window.statuses.back();
  int pid = ReadPid(pidFile);
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(Gone(pid));  // gone, and not left as a zombie
}

}  // namespace
