// nvscmd.exe as the program runs it: its command lines, its output on both
// streams, its exit codes, and the station it shares with the libraries.
#include <string>
#include <vector>

#include "tests/sim/sim_fixture.h"
#include "tests/sim/tool_runner.h"

namespace simtest {
namespace {

using Tool = StationTest;

TEST_F(Tool, BurnsTheSampleOnEitherAdapterAndDumpsItBack) {
  std::string sample = std::string(SIM_SAMPLES_DIR) + "/sample_spi.xuv";
  for (const char* bus : {"-usb 0", "-lpt 1"}) {
    std::string option(bus, 4), port(bus + 5);
    ToolRun burn = RunTool({option, port, "burn", sample});
    ASSERT_EQ(burn.exit, 0) << burn.err;
    EXPECT_NE(burn.out.find("Burn complete"), std::string::npos);
    EXPECT_NE(burn.err.find("100%"), std::string::npos) << "progress goes to standard error";
    ToolRun dump = RunTool({option, port, "dump", "flashdump.xuv"});
    ASSERT_EQ(dump.exit, 0) << dump.err;
    std::string dumped = ReadFile("flashdump.xuv");
    EXPECT_NE(dumped.find("@000000 1234\n@000001 2345\n"), std::string::npos) << bus;
    EXPECT_EQ(std::count(dumped.begin(), dumped.end(), '\n'), 32) << bus;
  }
}

TEST_F(Tool, EraseEmptiesTheSpiFlashOnly) {
  WriteFile("a.xuv", "@000010 0001\n");
  ASSERT_EQ(RunTool({"-usb", "0", "burn", "a.xuv"}).exit, 0);
  ASSERT_EQ(RunTool({"-lpt", "1", "burn", "a.xuv"}).exit, 0);
  ASSERT_EQ(RunTool({"-usb", "0", "erase"}).exit, 0);
  ASSERT_EQ(RunTool({"-usb", "0", "dump", "u.xuv"}).exit, 0);
  ASSERT_EQ(RunTool({"-lpt", "1", "dump", "l.xuv"}).exit, 0);
  EXPECT_EQ(ReadFile("u.xuv"), "");
  EXPECT_EQ(ReadFile("l.xuv"), "@000010 0001\n");
}

TEST_F(Tool, WrongCommandLinesGiveAnErrorTextAndNonZeroExit) {
  WriteFile("a.xuv", "@000000 0001\n");
  const struct {
    std::vector<std::string> arguments;
    int exit;
    const char* says;
  } kCases[] = {
      {{}, 2, "expected"},
      {{"-com", "0", "erase"}, 2, "unknown option"},
      {{"-usb", "x", "erase"}, 2, "unknown option"},
      {{"-usb", "0", "flash"}, 2, "unknown command"},
      {{"-usb", "0", "burn"}, 2, "needs a file"},
      {{"-usb", "0", "erase", "now"}, 2, "no file"},
      {{"-usb", "0", "burn", "missing.xuv"}, 3, "cannot open file"},
      {{"-usb", "0", "burn", "my", "fw.xuv"}, 3, "cannot find file 'my fw.xuv'"},
      {{"-usb", "1", "erase"}, 4, "no device"},
  };
  for (const auto& c : kCases) {
    ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.exit, c.exit) << c.says;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
}

TEST_F(Tool, MalformedOrOversizedImageIsRefused) {
  Set("module bc5", "spi_flash_mbit", "1");
  WriteFile("bad.xuv", "@000000 1234\nrubbish\n");
  WriteFile("big.xuv", "@010000 1234\n");
  ToolRun bad = RunTool({"-usb", "0", "burn", "bad.xuv"});
  EXPECT_EQ(bad.exit, 7);
  EXPECT_NE(bad.err.find("line 2"), std::string::npos) << bad.err;
  ToolRun big = RunTool({"-usb", "0", "burn", "big.xuv"});
  EXPECT_EQ(big.exit, 7);
  EXPECT_NE(big.err.find("beyond the memory"), std::string::npos) << big.err;
}

TEST_F(Tool, RealisticRunWritesOverTime) {
  Set("station", "timing", "realistic");
  Set("station", "program_ms", "1000");
  WriteFile("a.xuv", "@000000 0001\n");
  ToolRun run = RunTool({"-usb", "0", "burn", "a.xuv"});
  ASSERT_EQ(run.exit, 0);
  EXPECT_GE(run.endMs, 900);
  EXPECT_LT(run.firstOutputMs, run.endMs / 2) << "the first text comes before the end";
  EXPECT_GE(run.reads, 5);
  EXPECT_FALSE(run.out.empty());
  EXPECT_FALSE(run.err.empty());
}

TEST_F(Tool, LockedOrAbsentModuleFails) {
  Set("module bc5", "spi_locked", "yes");
  ToolRun locked = RunTool({"-usb", "0", "erase"});
  EXPECT_EQ(locked.exit, 5);
  EXPECT_NE(locked.err.find("locked"), std::string::npos);
  Set("module bc7", "present", "no");
  EXPECT_EQ(RunTool({"-lpt", "1", "erase"}).exit, 4);
}

}  // namespace
}  // namespace simtest
