#include <signal.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "memory/tool_runner.h"
#include "tests/station/memory_station_fixture.h"

namespace {

using station::kDevice1;
using station::MemoryStation;

class ToolChild : public MemoryStation {
 protected:
  bool Run(const std::string& commandLine) { return memory::RunTool(*dialog, host, kDevice1, commandLine); }
};

TEST_F(ToolChild, CommandLineReachesTheToolWordForWordAndIsNeverRunByAShell) {
  UseTool(TOOL_SCRIPT);
  window.SetCheck(res::IDC_SPI_FLASH, app::BST_CHECKED);
  TickDevices(true, true);
  ChooseFirmware("D:\\my fw\\a;b$(touch pwned)`touch pwned2`|x>y.xuv");
  commands().OnBrun();
  EXPECT_EQ(window.statuses,
            (std::vector<std::string>{" ", "[nvscmd.exe][-usb][0][burn][D:\\my][fw\\a;b$(touch][pwned)`touch][pwned2`|x>y.xuv]",
                                      "flash烧录完成!", " ",
                                      "[nvscmd.exe][-lpt][1][burn][D:\\my][fw\\a;b$(touch][pwned)`touch][pwned2`|x>y.xuv]",
                                      "flash烧录完成!"}));
  for (const char* made : {"pwned", "pwned2", "y.xuv"}) EXPECT_FALSE(std::filesystem::exists(made)) << made;

  window.statuses.clear();
  TickDevices(false, true);
  commands().OnErase();
  commands().OnDump();
  EXPECT_EQ(window.statuses, (std::vector<std::string>{" ", "[nvscmd.exe][-lpt][1][erase]", " ",
                                                       "[nvscmd.exe][-lpt][1][dump][flashdump.xuv]"}));
}

TEST_F(ToolChild, OutputIsShownAsPlainTextChunkByChunk) {
  UseTool(TOOL_SCRIPT);
  ASSERT_TRUE(Run("nvscmd.exe --long-then-short"));
  // The long chunk fills the message's 255 bytes; the short one after it shows only itself.
  EXPECT_EQ(window.statuses, (std::vector<std::string>{std::string(255, 'x'), "ok 100% %d %s %n"}));
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
    window.SetCheck(res::IDC_SPI_FLASH, app::BST_CHECKED);
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
  int pid = 0;
  std::ifstream(pidFile) >> pid;
  ASSERT_GT(pid, 0);
  EXPECT_EQ(kill(pid, 0), -1);  // gone, and not left as a zombie
  EXPECT_EQ(errno, ESRCH);
}

}  // namespace
