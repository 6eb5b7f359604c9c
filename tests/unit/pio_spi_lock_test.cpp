#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pio/spi_lock.h"
#include "tests/support/dialog_fixture.h"
#include "tests/support/reported_lines.h"

namespace {

using fakes::Call;
using fakes::Calls;
using Lines = std::vector<std::string>;
using Keys = std::vector<std::array<uint32_t, 4>>;

const Call kOpenDevice1{"openTestEngineSpiTrans", "SPITRANS=USB SPIPORT=0,0"};
const Call kOpenDevice2{"openTestEngineSpiTrans", "SPITRANS=LPT SPIPORT=1,0"};

Calls Sequence(const Call& open, const std::string& handle) {
  return {open,
          {"bccmdSetSpiLockCustomerKey", handle},
          {"bccmdSpiLockInitiateLock", handle},
          {"bccmdGetSpiLockStatus", handle},
          {"closeTestEngine", handle}};
}

class SpiLock : public fakes::DialogTest {
 protected:
  fakes::ReportedLines reports{dialog};
  pio::SpiLock lock{reports, engine};
};

TEST_F(SpiLock, ReportsTheLockStateFromTheLowHalfOfTheStatus) {
  const struct {
    uint32_t status;
    const char* message;
  } kCases[] = {
      {0, " SPI unlocked, customer key not set !!"},
      {1, " SPI locked, customer key not set !!"},
      {2, " SPI unlocked, customer key set !!"},
      {3, " SPI locked, customer key set !!"},
      {4, " unknown SPI lock status !!"},
      {0xFFFF, " unknown SPI lock status !!"},
      {0x0103, " unknown SPI lock status !!"},  // the whole low half counts, not its low byte
      {0xABCD0003, " SPI locked, customer key set !!"},
      {0x00010000, " SPI unlocked, customer key not set !!"},
  };
  Tick(res::IDC_DEVICE1);
  for (const auto& c : kCases) {
    fakes::RecordingTestEngine module;
    module.spiLockStatus = c.status;
    fakes::ReportedLines lines{dialog};
    pio::SpiLock(lines, module).OnLock();
    EXPECT_EQ(lines.lines(), (Lines{" ", c.message})) << std::hex << c.status;
    EXPECT_EQ(module.calls(), Sequence(kOpenDevice1, "1")) << std::hex << c.status;
    EXPECT_EQ(module.customerKeys, Keys{pio::kCustomerKey});
  }
}

TEST_F(SpiLock, FirstFailingStepEndsTheChainWithItsMessage) {
  const struct {
    const char* failing;
    const char* message;
    size_t callsMade;  // of the open, the three steps and the close
  } kCases[] = {
      {"bccmdSetSpiLockCustomerKey", "Set Customer Key fialed !!", 2},
      {"bccmdSpiLockInitiateLock", "Initiate Lock failed !!", 3},
      {"bccmdGetSpiLockStatus", "Check lock Status failed !!", 4},
  };
  Tick(res::IDC_DEVICE1);
  for (const auto& c : kCases) {
    fakes::RecordingTestEngine module;
    module.spiLockStatus = 3;
    module.Script(c.failing, 0);
    fakes::ReportedLines lines{dialog};
    pio::SpiLock(lines, module).OnLock();
    EXPECT_EQ(lines.lines(), (Lines{" ", c.message})) << c.failing;
    Calls expected = Sequence(kOpenDevice1, "1");
    expected.erase(expected.begin() + c.callsMade, expected.end() - 1);
    EXPECT_EQ(module.calls(), expected) << c.failing;
  }
}

TEST_F(SpiLock, LocksEachTickedDeviceInTurnWithTheSameKey) {
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  engine.spiLockStatus = 3;
  lock.OnLock();
  EXPECT_EQ(reports.lines(),
            (Lines{" ", " SPI locked, customer key set !!", " ", " SPI locked, customer key set !!"}));
  Calls expected = Sequence(kOpenDevice1, "1");
  Calls second = Sequence(kOpenDevice2, "2");
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(engine.calls(), expected);
  EXPECT_EQ(engine.customerKeys, (Keys{pio::kCustomerKey, pio::kCustomerKey}));
}

TEST_F(SpiLock, DeviceThatDoesNotOpenGetsTheBoxAndTheNextIsStillLocked) {
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  engine.Script("openTestEngineSpiTrans", 0);
  lock.OnLock();
  ASSERT_EQ(window.messageBoxes().size(), 1u);
  EXPECT_EQ(window.messageBoxes()[0].text, dialog::kDeviceOpenFailed);
  EXPECT_EQ(reports.lines(), (Lines{" ", " ", " SPI unlocked, customer key not set !!"}));
  EXPECT_EQ(engine.customerKeys, Keys{pio::kCustomerKey});
  Calls expected = {kOpenDevice1, {"closeTestEngine", "0"}};
  Calls second = Sequence(kOpenDevice2, "2");
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(engine.calls(), expected);
}

TEST_F(SpiLock, NoBoxTickedDoesNothingAtAll) {
  lock.OnLock();
  EXPECT_TRUE(reports.lines().empty());
  EXPECT_TRUE(engine.calls().empty());
  EXPECT_TRUE(window.messageBoxes().empty());
}

TEST_F(SpiLock, ButtonIsRouted) {
  Tick(res::IDC_DEVICE2);
  EXPECT_TRUE(dialog.OnCommand(res::IDC_LOCK));
  EXPECT_EQ(engine.calls(), Sequence(kOpenDevice2, "1"));
  EXPECT_EQ(Status(), " SPI unlocked, customer key not set !!");
}

}  // namespace
