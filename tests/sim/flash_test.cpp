// TestFlash: flash information, programming with progress, erase, and the
// failures a run can end in.
#include <chrono>
#include <thread>
#include <vector>

#include "tests/sim/sim_fixture.h"
#include "tests/sim/tool_runner.h"

namespace simtest {
namespace {

constexpr const char* kUsb = "SPITRANS=USB SPIPORT=0";
constexpr const char* kImage = "@000000 1234\n@000001 abcd\n\n# comment\n@000100 0f0f\n";

class Flash : public StationTest {
 protected:
  // Opens the transport as the program does before flash work.
  void Prepare(int32_t type) {
    ASSERT_EQ(api.flInitTrans(kUsb, 26, 2), 0);
    ASSERT_EQ(api.flStopProcessor(), 0);
    ASSERT_EQ(api.flSetFlashType(type), 0);
  }

  int32_t ProgramAndWait(bool spawn) {
    if ((spawn ? api.flProgramSpawn() : api.flProgramBlock()) != 0) return -1;
    for (int i = 0; i < 500 && api.flGetProgress() < 100; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return api.flGetLastError();
  }
};

TEST_F(Flash, InformationOfEitherFlash) {
  const struct {
    int32_t type;
    uint32_t mbit, mid, devid, sector;
  } kCases[] = {{2, 8, 0xc2, 0x2014, 0x800}, {0, 16, 0x1, 0x2249, 0x8000}};
  for (const auto& c : kCases) {
    Prepare(c.type);
    uint32_t sector = 0, mbit = 0, mid = 0, devid = 0;
    ASSERT_EQ(api.flGetFlashInfo(&sector, &mbit, &mid, &devid), 0);
    EXPECT_EQ(mbit, c.mbit);
    EXPECT_EQ(mid, c.mid);
    EXPECT_EQ(devid, c.devid);
    EXPECT_EQ(sector, c.sector);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(api.flResetAndStart(), 0);
    api.flClose();
  }
}

TEST_F(Flash, WorkNeedsAnOpenTransportAStoppedProcessorAndAFittedFlash) {
  uint32_t a = 0, b = 0, c = 0, d = 0;
  EXPECT_NE(api.flStopProcessor(), 0) << "nothing open";
  EXPECT_NE(api.flInitTrans("SPITRANS=USB SPIPORT=9", 26, 2), 0);
  ASSERT_EQ(api.flInitTrans(kUsb, 26, 2), 0);
  EXPECT_NE(api.flGetFlashInfo(&a, &b, &c, &d), 0) << "no flash type chosen";
  ASSERT_EQ(api.flSetFlashType(2), 0);
  EXPECT_NE(api.flGetFlashInfo(&a, &b, &c, &d), 0) << "processor still running";
  EXPECT_NE(api.flSetFlashType(5), 0);
  ASSERT_EQ(api.flStopProcessor(), 0);
  Set("module bc5", "spi_flash_mbit", "0");
  EXPECT_NE(api.flGetFlashInfo(&a, &b, &c, &d), 0) << "no SPI flash fitted";
  api.flClose();
  EXPECT_NE(api.flErase(), 0) << "closed again";
}

TEST_F(Flash, ProgrammedImageIsWhatTheToolDumps) {
  WriteFile("app.xuv", kImage);
  for (bool spawn : {true, false}) {
    Prepare(2);
    ASSERT_EQ(api.flReadProgramFiles("app.xuv"), 0);
    EXPECT_EQ(ProgramAndWait(spawn), 0);
    EXPECT_GE(api.flGetDownloadTime(), 0);
    api.flClose();
    ToolRun dump = RunTool({"-usb", "0", "dump", "flashdump.xuv"});
    ASSERT_EQ(dump.exit, 0) << dump.err;
    EXPECT_EQ(ReadFile("flashdump.xuv"), "@000000 1234\n@000001 abcd\n@000100 0f0f\n");
    ASSERT_EQ(RunTool({"-usb", "0", "erase"}).exit, 0);
  }
}

TEST_F(Flash, EraseLeavesAnErasedFlash) {
  WriteFile("app.xpv", kImage);
  Prepare(0);
  ASSERT_EQ(api.flReadProgramFiles("app.xpv"), 0);
  ASSERT_EQ(ProgramAndWait(false), 0);
  EXPECT_GT(ReadFile("station/bc5.parallel_flash.bin").size(), 0u);
  EXPECT_EQ(api.flErase(), 0);
  EXPECT_EQ(ReadFile("station/bc5.parallel_flash.bin"), "");
}

TEST_F(Flash, BadFilesAreRefusedBeforeProgramming) {
  Set("module bc5", "spi_flash_mbit", "1");  // 65536 words
  const struct {
    const char* what;
    const char* content;
  } kBad[] = {
      {"no words", "# nothing\n"},
      {"no @", "000000 1234\n"},
      {"value too wide", "@000000 12345\n"},
      {"not hex", "@00zz00 1234\n"},
      {"extra field", "@000000 1234 5\n"},
      {"beyond the part", "@010000 1234\n"},
  };
  Prepare(2);
  EXPECT_NE(api.flReadProgramFiles("missing.xuv"), 0);
  for (const auto& c : kBad) {
    WriteFile("bad.xuv", c.content);
    EXPECT_NE(api.flReadProgramFiles("bad.xuv"), 0) << c.what;
  }
  EXPECT_NE(api.flProgramSpawn(), 0) << "nothing loaded";
  WriteFile("edge.xuv", "@00ffff 1234\n");
  EXPECT_EQ(api.flReadProgramFiles("edge.xuv"), 0) << "the last word fits";
}

TEST_F(Flash, GbkPathIsConvertedBeforeOpening) {
  WriteFile("固件.xuv", kImage);
  Prepare(2);
  EXPECT_EQ(api.flReadProgramFiles("\xB9\xCC\xBC\xFE.xuv"), 0);  // the same name in GBK
}

TEST_F(Flash, RealisticProgrammingRisesOverTime) {
  Set("station", "timing", "realistic");
  Set("station", "program_ms", "600");
  WriteFile("app.xuv", kImage);
  Prepare(2);
  ASSERT_EQ(api.flReadProgramFiles("app.xuv"), 0);
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(api.flProgramSpawn(), 0);
  std::vector<int32_t> readings;
  while (readings.empty() || readings.back() < 100) {
    readings.push_back(api.flGetProgress());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_LT(readings.size(), 200u);
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_GE(readings.size(), 5u);
  for (size_t i = 1; i < readings.size(); ++i) EXPECT_GE(readings[i], readings[i - 1]);
  EXPECT_EQ(api.flResetAndStart(), 0) << "finished, so the chip may restart";
}

TEST_F(Flash, CloseStopsARunningProgramming) {
  Set("station", "timing", "realistic");
  Set("station", "program_ms", "60000");
  WriteFile("app.xuv", kImage);
  Prepare(2);
  ASSERT_EQ(api.flReadProgramFiles("app.xuv"), 0);
  ASSERT_EQ(api.flProgramSpawn(), 0);
  EXPECT_NE(api.flResetAndStart(), 0) << "busy while programming";
  auto start = std::chrono::steady_clock::now();
  api.flClose();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(ReadFile("station/bc5.spi_flash.bin"), "") << "an interrupted run writes nothing";
}

}  // namespace
}  // namespace simtest
