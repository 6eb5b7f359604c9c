#include <gtest/gtest.h>

#include "tests/support/dialog_fixture.h"

namespace {

using fakes::DialogTest;

class ProductionSequence : public DialogTest {
 protected:
  ProductionSequence() {
    folder.Write("btconfig.ini", "[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=00a1ff\r\n[SUM]\r\ntotal=0\r\n");
    Tick(res::IDC_EEPROM);
    window.Type(res::IDC_START_LAP, "00a1ff");
  }
  std::vector<std::string> CallNames() const {
    std::vector<std::string> names;
    for (const auto& call : allCalls) names.push_back(call.name);
    return names;
  }
};

TEST_F(ProductionSequence, BurnsThenAddressesEachStepWithItsOwnMessages) {
  Tick(res::IDC_DEVICE1);
  window.Type(res::IDC_FIRMWARE_PATH, "/fw/app.bin");
  dialog.OnCommand(res::IDC_AUTO);
  EXPECT_EQ(Log(), "Step 1: \r\n \r\n烧录BIN to EEPROM成功! \r\nStep 2: \r\n \r\n写蓝牙地址成功! ");
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"te2OpenTrans", "te2GetSize", "te2Program", "te2Close",
                                                   "openTestEngine", "openTestEngineSpiTrans", "psWriteBdAddr",
                                                   "closeTestEngine", "closeTestEngine"}));
}

TEST_F(ProductionSequence, AddressIsWrittenEvenWhenTheBurnHadNothingToDo) {
  Tick(res::IDC_DEVICE1);
  dialog.OnCommand(res::IDC_AUTO);
  EXPECT_EQ(Log(), "Step 1: \r\nhaven't .BIN file!!!\r\nStep 2: \r\n \r\n写蓝牙地址成功! ");
  EXPECT_EQ(folder.Read("btconfig.ini"), "[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=00a200\r\n[SUM]\r\ntotal=1\r\n");
}

TEST_F(ProductionSequence, FailedBurnDoesNotStopTheAddress) {
  Tick(res::IDC_DEVICE1);
  window.Type(res::IDC_FIRMWARE_PATH, "/fw/app.bin");
  e2.Script("te2Program", 3);
  dialog.OnCommand(res::IDC_AUTO);
  EXPECT_EQ(Log(), "Step 1: \r\n \r\n烧录BIN to EEPROM失败! \r\nStep 2: \r\n \r\n写蓝牙地址成功! ");
}

TEST_F(ProductionSequence, NoDeviceTickedLeavesJustTheTwoStepLines) {
  dialog.OnCommand(res::IDC_AUTO);
  EXPECT_EQ(Log(), "Step 1: \r\nStep 2: ");
  EXPECT_TRUE(allCalls.empty());
}

}  // namespace
