#include <gtest/gtest.h>

#include "device/device_name.h"
#include "tests/support/dialog_fixture.h"

namespace {

using fakes::Call;
using fakes::Calls;
using fakes::DialogTest;
using DeviceName = DialogTest;

TEST(DeviceNamePacking, TwoBytesAWordLowByteFirst) {
  using Words = std::array<uint16_t, 6>;
  const struct {
    std::string name;
    Words words;
  } kCases[] = {
      {"AB", {0x4241, 0, 0, 0, 0, 0}},
      {"ABC", {0x4241, 0x0043, 0, 0, 0, 0}},
      {"ABCDEFGHIJKL", {0x4241, 0x4443, 0x4645, 0x4847, 0x4A49, 0x4C4B}},
      {"蓝牙", {0xB6C0, 0xC0D1, 0, 0, 0, 0}},  // GBK bytes C0 B6 D1 C0
      {"", {0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : kCases) EXPECT_EQ(device::PackDeviceName(c.name), c.words) << c.name;
}

TEST_F(DeviceName, WritesKey264IntoEachTickedModuleDevice1First) {
  window.Type(res::IDC_DEVICE_NAME, "ABC");
  window.SetSel(res::IDC_DEVICE_NAME, 0, 0);  // the caret's place does not shorten the name
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  dialog.OnCommand(res::IDC_NAME_CHANGE);
  EXPECT_EQ(engine.calls(), (Calls{{"openTestEngineSpiTrans", "SPITRANS=USB SPIPORT=0,0"},
                                   {"psWrite", "1,264,0,6,0x4241 0x43 0x0 0x0 0x0 0x0"},
                                   {"closeTestEngine", "1"},
                                   {"openTestEngineSpiTrans", "SPITRANS=LPT SPIPORT=1,0"},
                                   {"psWrite", "2,264,0,6,0x4241 0x43 0x0 0x0 0x0 0x0"},
                                   {"closeTestEngine", "2"}}));
  EXPECT_EQ(Log(), "蓝牙名字修改成功!\r\n\r\n蓝牙名字修改成功!");  // an empty report adds nothing to an empty pane
  EXPECT_EQ(window.ItemText(res::IDC_DEVICE_NAME), "ABC");
}

TEST_F(DeviceName, EmptyNameIsSaidOncePerTickedDeviceAndOpensNothing) {
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  dialog.OnCommand(res::IDC_NAME_CHANGE);
  EXPECT_TRUE(engine.calls().empty());
  EXPECT_EQ(Log(), "haven't Bluetooth name!!!\r\n\r\nhaven't Bluetooth name!!!");
}

TEST_F(DeviceName, OpenFailureAndRefusalAreSaidAndTheSecondDeviceIsStillTried) {
  window.Type(res::IDC_DEVICE_NAME, "AB");
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  engine.Script("openTestEngineSpiTrans", 0);
  engine.Script("psWrite", 0);
  dialog.OnCommand(res::IDC_NAME_CHANGE);
  ASSERT_EQ(window.messageBoxes().size(), 1u);
  EXPECT_EQ(engine.calls(), (Calls{{"openTestEngineSpiTrans", "SPITRANS=USB SPIPORT=0,0"},
                                   {"closeTestEngine", "0"},
                                   {"openTestEngineSpiTrans", "SPITRANS=LPT SPIPORT=1,0"},
                                   {"psWrite", "2,264,0,6,0x4241 0x0 0x0 0x0 0x0 0x0"},
                                   {"closeTestEngine", "2"}}));
  EXPECT_EQ(Status(), "蓝牙名字修改失败!");
}

TEST_F(DeviceName, NoDeviceTickedDoesNothing) {
  window.Type(res::IDC_DEVICE_NAME, "AB");
  dialog.OnCommand(res::IDC_NAME_CHANGE);
  EXPECT_TRUE(engine.calls().empty());
  EXPECT_EQ(Log(), "");
}

}  // namespace
