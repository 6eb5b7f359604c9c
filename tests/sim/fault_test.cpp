// Faults asked for in the station file: every exported function can be made
// to fail for one module, at once or after some calls, and programming and the
// tool have knobs of their own.
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "tests/sim/sim_fixture.h"
#include "tests/sim/tool_runner.h"

namespace simtest {
namespace {

constexpr const char* kUsb = "SPITRANS=USB SPIPORT=0";
constexpr const char* kLpt = "SPITRANS=LPT SPIPORT=1";

using Faults = StationTest;

// One call per exported function that works on a module or a radio; true when
// it succeeded. Each opens what it needs itself.
struct FaultCase {
  const char* function;
  const char* target;
  std::function<bool(const Api&)> call;
};

uint32_t Bc5(const Api& a) { return a.openTestEngineSpiTrans(kUsb, 0); }
uint32_t Reference(const Api& a) { return a.openTestEngine(2, "\\\\.\\csr0", 0, 1000, 2000); }

// The reference listening on 2441 MHz with bc5 transmitting there.
uint32_t Listening(const Api& a) {
  uint32_t module = Bc5(a), reference = Reference(a);
  a.radiotestTxstart(module, 2441, 50, 250, 0);
  a.radiotestRxstart2(reference, 2441, 0, 0, 10);
  return reference;
}

bool Flash(const Api& a, const std::function<int32_t()>& step) {
  if (a.flInitTrans(kUsb, 26, 2) != 0) return false;
  a.flStopProcessor();
  a.flSetFlashType(2);
  bool ok = step() == 0;
  a.flClose();
  return ok;
}

bool Eeprom(const Api& a, const std::function<int32_t()>& step) {
  bool ok = a.te2OpenTrans(kUsb) == 0 && step() == 0;
  a.te2Close();
  return ok;
}

const FaultCase kCases[] = {
    {"openTestEngine", "reference", [](const Api& a) { return Reference(a) != 0; }},
    {"openTestEngineSpiTrans", "bc5", [](const Api& a) { return Bc5(a) != 0; }},
    {"openTestEngineSpi", "bc5", [](const Api& a) { return a.openTestEngineSpi(-1, 0, 2) != 0; }},
    {"closeTestEngine", "bc5", [](const Api& a) { return a.closeTestEngine(Bc5(a)) == 1; }},
    {"psReadBdAddr", "bc5",
     [](const Api& a) {
       uint32_t lap;
       uint8_t uap;
       uint16_t nap;
       return a.psReadBdAddr(Bc5(a), &lap, &uap, &nap) == 1;
     }},
    {"psWriteBdAddr", "bc5", [](const Api& a) { return a.psWriteBdAddr(Bc5(a), 1, 2, 3) == 1; }},
    {"psWrite", "bc5",
     [](const Api& a) {
       uint16_t words[6] = {0x4241};
       return a.psWrite(Bc5(a), 264, 0, 6, words) == 1;
     }},
    {"bccmdGetChipVersion", "bc5",
     [](const Api& a) {
       uint16_t v;
       return a.bccmdGetChipVersion(Bc5(a), &v) == 1;
     }},
    {"bccmdSetColdReset", "bc5", [](const Api& a) { return a.bccmdSetColdReset(Bc5(a), 0) == 1; }},
    {"psWriteXtalFtrim", "bc5", [](const Api& a) { return a.psWriteXtalFtrim(Bc5(a), 31) == 1; }},
    {"psReadXtalOffset", "bc5",
     [](const Api& a) {
       int16_t o;
       return a.psReadXtalOffset(Bc5(a), &o) == 1;
     }},
    {"psWriteXtalOffset", "bc5", [](const Api& a) { return a.psWriteXtalOffset(Bc5(a), 0) == 1; }},
    {"bccmdMapPio32", "bc5",
     [](const Api& a) {
       uint32_t r;
       return a.bccmdMapPio32(Bc5(a), ~0u, ~0u, &r) == 1;
     }},
    {"bccmdGetPio32", "bc5",
     [](const Api& a) {
       uint32_t d, l;
       return a.bccmdGetPio32(Bc5(a), &d, &l) == 1;
     }},
    {"bccmdSetSpiLockCustomerKey", "bc5",
     [](const Api& a) {
       uint32_t key[4] = {1, 2, 3, 4};
       return a.bccmdSetSpiLockCustomerKey(Bc5(a), key) == 1;
     }},
    {"bccmdSpiLockInitiateLock", "bc5", [](const Api& a) { return a.bccmdSpiLockInitiateLock(Bc5(a)) == 1; }},
    {"bccmdGetSpiLockStatus", "bc5",
     [](const Api& a) {
       uint32_t s;
       return a.bccmdGetSpiLockStatus(Bc5(a), &s) == 1;
     }},
    {"radiotestTxstart", "bc5", [](const Api& a) { return a.radiotestTxstart(Bc5(a), 2441, 50, 250, 0) == 1; }},
    {"radiotestRxdata1", "reference", [](const Api& a) { return a.radiotestRxdata1(Reference(a), 2441, 0, 0) == 1; }},
    {"radiotestRxstart2", "reference",
     [](const Api& a) { return a.radiotestRxstart2(Reference(a), 2441, 0, 0, 10) == 1; }},
    {"radiotestCfgXtalFtrim", "bc5",
     [](const Api& a) {
       uint32_t m = Bc5(a);
       a.radiotestTxstart(m, 2441, 50, 250, 0);
       return a.radiotestCfgXtalFtrim(m, 31) == 1;
     }},
    {"radiotestCalcXtalOffset", "*",
     [](const Api& a) {
       int16_t o;
       return a.radiotestCalcXtalOffset(2441.0, 2441.001, &o) == 1;
     }},
    {"radiotestPause", "bc5", [](const Api& a) { return a.radiotestPause(Bc5(a)) == 1; }},
    {"radiotestStereoCodecLB", "bc5", [](const Api& a) { return a.radiotestStereoCodecLB(Bc5(a), 44100, 1) == 1; }},
    {"get_freq_offset", "reference",
     [](const Api& a) {
       double ppm;
       return a.get_freq_offset(Listening(a), &ppm, 100) == 1;
     }},
    {"hqGetRssi", "reference",
     [](const Api& a) {
       uint16_t s[10];
       return a.hqGetRssi(Listening(a), 1050, 10, s) == 1;
     }},
    {"refEpGetRssiDbm", "reference",
     [](const Api& a) {
       double dbm;
       return a.refEpGetRssiDbm(Reference(a), 2441, 100.0, &dbm) == 1;
     }},
    {"flInitTrans", "bc5", [](const Api& a) { return Flash(a, [] { return 0; }); }},
    {"flStopProcessor", "bc5", [](const Api& a) { return Flash(a, [&] { return a.flStopProcessor(); }); }},
    {"flSetFlashType", "bc5", [](const Api& a) { return Flash(a, [&] { return a.flSetFlashType(2); }); }},
    {"flGetFlashInfo", "bc5",
     [](const Api& a) {
       return Flash(a, [&] {
         uint32_t s, m, i, d;
         return a.flGetFlashInfo(&s, &m, &i, &d);
       });
     }},
    {"flErase", "bc5", [](const Api& a) { return Flash(a, [&] { return a.flErase(); }); }},
    {"flResetAndStart", "bc5", [](const Api& a) { return Flash(a, [&] { return a.flResetAndStart(); }); }},
    {"flReadProgramFiles", "bc5", [](const Api& a) { return Flash(a, [&] { return a.flReadProgramFiles("a.xuv"); }); }},
    {"flProgramSpawn", "bc5",
     [](const Api& a) {
       return Flash(a, [&] { return a.flReadProgramFiles("a.xuv") == 0 ? a.flProgramSpawn() : 1; });
     }},
    {"flProgramBlock", "bc5",
     [](const Api& a) {
       return Flash(a, [&] { return a.flReadProgramFiles("a.xuv") == 0 ? a.flProgramBlock() : 1; });
     }},
    {"flGetLastError", "bc5", [](const Api& a) { return Flash(a, [&] { return a.flGetLastError(); }); }},
    {"flGetProgress", "bc5", [](const Api& a) { return Flash(a, [&] { return a.flGetProgress() < 0 ? 1 : 0; }); }},
    {"flGetDownloadTime", "bc5",
     [](const Api& a) { return Flash(a, [&] { return a.flGetDownloadTime() < 0 ? 1 : 0; }); }},
    {"te2OpenTrans", "bc5", [](const Api& a) { return Eeprom(a, [] { return 0; }); }},
    {"te2GetSize", "bc5",
     [](const Api& a) {
       return Eeprom(a, [&] {
         uint32_t k = 0;
         return a.te2GetSize(&k);
       });
     }},
    {"te2Program", "bc5", [](const Api& a) { return Eeprom(a, [&] { return a.te2Program("a.bin", 1); }); }},
    {"te2Dump", "bc5", [](const Api& a) { return Eeprom(a, [&] { return a.te2Dump("d.bin", 1); }); }},
    {"te2Fill", "bc5", [](const Api& a) { return Eeprom(a, [&] { return a.te2Fill(0xffff, 1); }); }},
    {"te2WriteBcHeader", "bc5", [](const Api& a) { return Eeprom(a, [&] { return a.te2WriteBcHeader(); }); }},
};

void CloseAll(const Api& a) {
  for (uint32_t h = 1; h <= 16; ++h) a.closeTestEngine(h);
}

TEST_F(Faults, EveryFunctionFailsWhenTheStationSaysSo) {
  WriteFile("a.xuv", "@000000 1234\n");
  WriteFile("a.bin", "ab");
  for (const FaultCase& c : kCases) {
    EXPECT_TRUE(c.call(api)) << c.function << " works without the fault";
    CloseAll(api);
    Set("faults", c.function, c.target);
    EXPECT_FALSE(c.call(api)) << c.function << " fails with it";
    CloseAll(api);
    Set("faults", c.function, "");
    Set("module bc5", "spi_locked", "no");  // the lock case locks the module for good
    Set("module bc5", "customer_key", "");
  }
}

TEST_F(Faults, FaultForOneModuleLeavesTheOtherAlone) {
  Set("faults", "psWriteBdAddr", "bc7");
  EXPECT_EQ(api.psWriteBdAddr(api.openTestEngineSpiTrans(kUsb, 0), 1, 2, 3), 1);
  EXPECT_EQ(api.psWriteBdAddr(api.openTestEngineSpiTrans(kLpt, 0), 1, 2, 3), 0);
  Set("faults", "psWriteBdAddr", "bc5, bc7");
  EXPECT_EQ(api.psWriteBdAddr(1, 1, 2, 3), 0);
}

TEST_F(Faults, AfterNCallsCountsAcrossConnectionsAndProcesses) {
  Set("faults", "bccmdSetColdReset", "bc5 after 2");
  uint32_t module = api.openTestEngineSpiTrans(kUsb, 0);
  EXPECT_EQ(api.bccmdSetColdReset(module, 0), 1);
  api.closeTestEngine(module);
  module = api.openTestEngineSpiTrans(kUsb, 0);
  EXPECT_EQ(api.bccmdSetColdReset(module, 0), 1);
  EXPECT_EQ(api.bccmdSetColdReset(module, 0), 0);
  EXPECT_EQ(api.bccmdSetColdReset(module, 0), 0);

  Set("faults", "nvscmd", "bc5 after 1");
  EXPECT_EQ(RunTool({"-usb", "0", "erase"}).exit, 0);
  ToolRun second = RunTool({"-usb", "0", "erase"});
  EXPECT_EQ(second.exit, 6);
  EXPECT_NE(second.err.find("does not respond"), std::string::npos);
}

TEST_F(Faults, ProgrammingEndsWithTheErrorNumberAsked) {
  Set("faults", "flash_error", "bc5 code 7");
  WriteFile("a.xuv", "@000000 1234\n");
  ASSERT_EQ(api.flInitTrans(kUsb, 26, 2), 0);
  api.flStopProcessor();
  api.flSetFlashType(0);
  ASSERT_EQ(api.flReadProgramFiles("a.xuv"), 0);
  ASSERT_EQ(api.flProgramBlock(), 0);
  EXPECT_EQ(api.flGetProgress(), 100);
  EXPECT_EQ(api.flGetLastError(), 7);
  EXPECT_EQ(ReadFile("station/bc5.parallel_flash.bin"), "") << "a failed run leaves the flash as it was";

  ToolRun burn = RunTool({"-usb", "0", "burn", "a.xuv"});
  EXPECT_EQ(burn.exit, 8);
  EXPECT_NE(burn.err.find("error 7"), std::string::npos);
}

TEST_F(Faults, StalledProgressNeverReachesOneHundred) {
  Set("faults", "progress_stall", "bc5 at 45");
  WriteFile("a.xuv", "@000000 1234\n");
  ASSERT_EQ(api.flInitTrans(kUsb, 26, 2), 0);
  api.flStopProcessor();
  api.flSetFlashType(0);
  ASSERT_EQ(api.flReadProgramFiles("a.xuv"), 0);
  ASSERT_EQ(api.flProgramSpawn(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(api.flGetProgress(), 45);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(api.flGetProgress(), 45);
}

TEST_F(Faults, RefusedSpawnLeavesTheForegroundRoad) {
  Set("faults", "flProgramSpawn", "bc5");
  WriteFile("a.xuv", "@000000 1234\n");
  ASSERT_EQ(api.flInitTrans(kUsb, 26, 2), 0);
  api.flStopProcessor();
  api.flSetFlashType(0);
  ASSERT_EQ(api.flReadProgramFiles("a.xuv"), 0);
  EXPECT_NE(api.flProgramSpawn(), 0);
  EXPECT_EQ(api.flProgramBlock(), 0);
  EXPECT_EQ(api.flGetProgress(), 100);
  EXPECT_EQ(api.flGetLastError(), 0);
}

TEST_F(Faults, ToolCanFailToFindTheFile) {
  Set("faults", "nvscmd_no_file", "bc7");
  WriteFile("a.xuv", "@000000 1234\n");
  EXPECT_EQ(RunTool({"-usb", "0", "burn", "a.xuv"}).exit, 0);
  ToolRun run = RunTool({"-lpt", "1", "burn", "a.xuv"});
  EXPECT_EQ(run.exit, 3);
  EXPECT_NE(run.err.find("cannot find file 'a.xuv'"), std::string::npos);
}

// The two ways a write's answer can differ from what the module holds.
TEST_F(Faults, AddressNotKeptOrItsAnswerLost) {
  auto lapOf = [this](uint32_t module) {
    uint32_t lap = 0;
    uint8_t uap = 0;
    uint16_t nap = 0;
    EXPECT_EQ(api.psReadBdAddr(module, &lap, &uap, &nap), 1);
    return lap;
  };
  const uint32_t bc5 = api.openTestEngineSpiTrans(kUsb, 0), bc7 = api.openTestEngineSpiTrans(kLpt, 0);
  Set("faults", "bdaddr_not_kept", "bc5");
  EXPECT_EQ(api.psWriteBdAddr(bc5, 0xa1ff, 0x5b, 0x0002), 1);
  EXPECT_EQ(lapOf(bc5), 0xa1f0u) << "the old address stays";
  EXPECT_EQ(api.psWriteBdAddr(bc7, 0xa1ff, 0x5b, 0x0002), 1);
  EXPECT_EQ(lapOf(bc7), 0xa1ffu);

  Set("faults", "bdaddr_not_kept", "");
  Set("faults", "bdaddr_answer_lost", "* after 1");
  EXPECT_EQ(api.psWriteBdAddr(bc5, 0xa200, 0x5b, 0x0002), 1);
  EXPECT_EQ(api.psWriteBdAddr(bc5, 0xa201, 0x5b, 0x0002), 0);
  EXPECT_EQ(lapOf(bc5), 0xa201u) << "taken, though the call said no";
  EXPECT_EQ(api.psWriteBdAddr(bc7, 0xa202, 0x5b, 0x0002), 0);
  EXPECT_EQ(lapOf(bc7), 0xa202u);
  EXPECT_EQ(api.psWriteBdAddr(bc7, 0x1000000, 0x5b, 0x0002), 0);
  EXPECT_EQ(lapOf(bc7), 0xa202u) << "a part too wide is still refused, not taken";
}

TEST_F(Faults, UnreadableRuleStrikesNobody) {
  Set("faults", "psWriteBdAddr", "bc5 sometimes 3");
  EXPECT_EQ(api.psWriteBdAddr(api.openTestEngineSpiTrans(kUsb, 0), 1, 2, 3), 1);
}

}  // namespace
}  // namespace simtest
