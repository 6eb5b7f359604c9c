// Every handler that works per device runs device 2 whatever became of device 1:
// a module that did not open or refused its write is no reason to skip the next.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "device/address.h"
#include "device/device_name.h"
#include "pio/spi_lock.h"
#include "tests/unit/memory_fixture.h"

namespace {

using memtest::Call;
using memtest::kDevice1;
using memtest::kDevice2;

// One fresh station per row of the table: both devices ticked, a stored
// address, a name and a firmware file.
class Bench : public memtest::MemoryTest {
 public:
  Bench() {
    Tick(res::IDC_DEVICE1);
    Tick(res::IDC_DEVICE2);
    folder.Write("btconfig.ini", "[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=00a1ff\r\n[SUM]\r\ntotal=9\r\n");
    window.Type(res::IDC_START_LAP, "x");
    window.Type(res::IDC_DEVICE_NAME, "AB");
    ChooseFirmware("fw.img");
  }
  void TestBody() override {}

  using MemoryTest::allCalls;
  using MemoryTest::e2;
  using MemoryTest::engine;
  using MemoryTest::flash;
  using MemoryTest::tool;

  void SetAddr() { device::Address(services, engine).OnSetAddr(); }
  void NameChange() { device::DeviceName(services, engine).OnNameChange(); }
  void Lock() { pio::SpiLock(services, engine).OnLock(); }
  void Memory(bool eeprom, bool spiFlash, void (memory::Commands::*command)()) {
    SetMemoryBoxes(eeprom, spiFlash, false);
    memory::Commands c = commands();
    (c.*command)();
  }
};

std::string WithTransport(const char* transport, const char* rest) { return std::string(transport) + rest; }

TEST(Device2AfterFailure, EveryPerDeviceHandlerStillWorksDevice2) {
  using Self = Bench;
  using memory::Commands;
  const Call kOpen2{"openTestEngineSpiTrans", WithTransport(kDevice2, ",0")};
  const Call kE2Open2{"te2OpenTrans", kDevice2};
  const Call kFlashOpen2{"flInitTrans", WithTransport(kDevice2, ",26,2")};
  const struct {
    const char* handler;
    const char* failure;
    const char* failingCall;  // made for device 1 and answered with the failure
    std::function<void(Self&)> fail;
    std::function<void(Self&)> press;
    Call device2Start;  // how device 2's turn begins
    Call device2Work;   // and the work it gets
  } kRows[] = {
      // Nothing advanced on device 1's failure, so device 2 gets the same stored address.
      {"SetAddr", "open", "openTestEngineSpiTrans", [](Self& t) { t.engine.Script("openTestEngineSpiTrans", 0); },
       &Self::SetAddr, kOpen2, {"psWriteBdAddr", "4,41471,91,2"}},
      {"SetAddr", "address refused", "psWriteBdAddr", [](Self& t) { t.engine.Script("psWriteBdAddr", 0); },
       &Self::SetAddr, kOpen2, {"psWriteBdAddr", "4,41471,91,2"}},
      {"NameChange", "open", "openTestEngineSpiTrans", [](Self& t) { t.engine.Script("openTestEngineSpiTrans", 0); },
       &Self::NameChange, kOpen2, {"psWrite", "2,264,0,6,0x4241 0x0 0x0 0x0 0x0 0x0"}},
      {"NameChange", "name refused", "psWrite", [](Self& t) { t.engine.Script("psWrite", 0); }, &Self::NameChange,
       kOpen2, {"psWrite", "2,264,0,6,0x4241 0x0 0x0 0x0 0x0 0x0"}},
      {"Brun EEPROM", "open", "te2OpenTrans", [](Self& t) { t.e2.Script("te2OpenTrans", 1); },
       [](Self& t) { t.Memory(true, false, &Commands::OnBrun); }, kE2Open2, {"te2Program", "fw.img,1"}},
      {"Brun EEPROM", "programming refused", "te2Program", [](Self& t) { t.e2.Script("te2Program", 1); },
       [](Self& t) { t.Memory(true, false, &Commands::OnBrun); }, kE2Open2, {"te2Program", "fw.img,1"}},
      {"Brun parallel flash", "open", "flInitTrans", [](Self& t) { t.flash.Script("flInitTrans", 1); },
       [](Self& t) { t.Memory(false, false, &Commands::OnBrun); }, kFlashOpen2, {"flReadProgramFiles", "fw.img"}},
      {"Brun parallel flash", "programming refused", "flGetLastError",
       [](Self& t) { t.flash.Script("flGetLastError", 6); }, [](Self& t) { t.Memory(false, false, &Commands::OnBrun); },
       kFlashOpen2, {"flReadProgramFiles", "fw.img"}},
      {"Brun SPI flash", "tool not started", "nvscmd",
       [](Self& t) { t.tool.starts = {platform::StartResult::NoProgram}; },
       [](Self& t) { t.Memory(false, true, &Commands::OnBrun); }, {"nvscmd", "nvscmd.exe -lpt 1 burn fw.img"},
       kFlashOpen2},
      {"Brun SPI flash", "open after the tool", "flInitTrans", [](Self& t) { t.flash.Script("flInitTrans", 1); },
       [](Self& t) { t.Memory(false, true, &Commands::OnBrun); }, {"nvscmd", "nvscmd.exe -lpt 1 burn fw.img"},
       kFlashOpen2},
      {"Brun SPI flash", "tool failed", "nvscmd", [](Self& t) { t.tool.exits = {6}; },
       [](Self& t) { t.Memory(false, true, &Commands::OnBrun); }, {"nvscmd", "nvscmd.exe -lpt 1 burn fw.img"},
       kFlashOpen2},
      {"Dump SPI flash", "open after the tool", "flInitTrans", [](Self& t) { t.flash.Script("flInitTrans", 1); },
       [](Self& t) { t.Memory(false, true, &Commands::OnDump); },
       {"nvscmd", "nvscmd.exe -lpt 1 dump flashdump.xuv "}, kFlashOpen2},
      {"Dump SPI flash", "tool failed", "nvscmd", [](Self& t) { t.tool.exits = {6}; },
       [](Self& t) { t.Memory(false, true, &Commands::OnDump); },
       {"nvscmd", "nvscmd.exe -lpt 1 dump flashdump.xuv "}, kFlashOpen2},
      {"Erase EEPROM", "open", "te2OpenTrans", [](Self& t) { t.e2.Script("te2OpenTrans", 1); },
       [](Self& t) { t.Memory(true, false, &Commands::OnErase); }, kE2Open2, {"te2Fill", "65535,1"}},
      {"Erase EEPROM", "fill refused", "te2Fill", [](Self& t) { t.e2.Script("te2Fill", 1); },
       [](Self& t) { t.Memory(true, false, &Commands::OnErase); }, kE2Open2, {"te2Fill", "65535,1"}},
      {"Erase SPI flash", "open after the tool", "flInitTrans", [](Self& t) { t.flash.Script("flInitTrans", 1); },
       [](Self& t) { t.Memory(false, true, &Commands::OnErase); }, {"nvscmd", "nvscmd.exe -lpt 1 erase"},
       kFlashOpen2},
      {"Erase SPI flash", "tool failed", "nvscmd", [](Self& t) { t.tool.exits = {6}; },
       [](Self& t) { t.Memory(false, true, &Commands::OnErase); }, {"nvscmd", "nvscmd.exe -lpt 1 erase"},
       kFlashOpen2},
      {"Lock", "open", "openTestEngineSpiTrans", [](Self& t) { t.engine.Script("openTestEngineSpiTrans", 0); },
       &Self::Lock, kOpen2, {"bccmdSetSpiLockCustomerKey", "2"}},
      {"Lock", "key refused", "bccmdSetSpiLockCustomerKey",
       [](Self& t) { t.engine.Script("bccmdSetSpiLockCustomerKey", 0); }, &Self::Lock, kOpen2,
       {"bccmdSetSpiLockCustomerKey", "2"}},
  };
  for (const auto& row : kRows) {
    Bench t;
    row.fail(t);
    row.press(t);
    const std::string what = std::string(row.handler) + ", device 1: " + row.failure;
    const auto& calls = t.allCalls;
    auto device2 = std::find(calls.begin(), calls.end(), row.device2Start);
    if (device2 == calls.end()) {
      ADD_FAILURE() << what << ": device 2 was never started";
      continue;
    }
    // The failure was device 1's: its failing call came before device 2's turn.
    EXPECT_NE(std::find_if(calls.begin(), device2, [&](const Call& c) { return c.name == row.failingCall; }), device2)
        << what;
    EXPECT_NE(std::find(device2, calls.end(), row.device2Work), calls.end()) << what;
  }
}

}  // namespace
