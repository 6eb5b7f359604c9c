#include <gtest/gtest.h>

#include "tests/support/dialog_fixture.h"

namespace {

using fakes::DialogTest;
using FieldExchange = DialogTest;

TEST_F(FieldExchange, ShowingSetsTheLimitsOfTheLimitedFieldsOnly) {
  dialog.ShowFields();
  const struct {
    int id;
    int limit;
  } kLimits[] = {
      {res::IDC_NEXT_LAP, 6}, {res::IDC_DEVICE_NAME, 12}, {res::IDC_START_NAP, 4}, {res::IDC_START_LAP, 6},
      {res::IDC_START_UAP, 2}, {res::IDC_CURRENT_LAP, 6}, {res::IDC_FIRMWARE_PATH, 0}, {res::IDC_NEXT_NAP, 0},
      {res::IDC_CURRENT_NAP, 0}, {res::IDC_BURN_COUNT, 0},
  };
  for (const auto& c : kLimits) EXPECT_EQ(window.limit(c.id), c.limit) << c.id;
}

TEST_F(FieldExchange, CollectingTakesEveryFieldWithinItsLimit) {
  window.Type(res::IDC_FIRMWARE_PATH, "/fw/app.bin");
  window.Type(res::IDC_DEVICE_NAME, "蓝牙耳机AB");  // 10 bytes
  window.Type(res::IDC_START_LAP, "00a1ff");
  window.Type(res::IDC_PIO8, "8");
  EXPECT_TRUE(dialog.CollectFields());
  EXPECT_EQ(dialog.Fields().FirmwarePath, "/fw/app.bin");
  EXPECT_EQ(dialog.Fields().DeviceName, "蓝牙耳机AB");
  EXPECT_EQ(dialog.Fields().StartLap, "00a1ff");
  EXPECT_EQ(dialog.Fields().PioText[7], "8");
  EXPECT_TRUE(window.messageBoxes().empty());
}

TEST_F(FieldExchange, CollectingStopsAtTheFirstFieldOverItsLimit) {
  dialog.Fields().StartNap = "old";
  dialog.Fields().StartLap = "old";
  window.Type(res::IDC_FIRMWARE_PATH, "new path");        // bound first
  window.Type(res::IDC_DEVICE_NAME, "蓝牙耳机ABC");         // 11 bytes: within
  window.Type(res::IDC_START_NAP, "00021");               // 5 > 4
  window.Type(res::IDC_START_LAP, "0000001");             // also over, never reached
  EXPECT_FALSE(dialog.CollectFields());
  ASSERT_EQ(window.messageBoxes().size(), 1u);
  EXPECT_EQ(window.messageBoxes()[0].text, "Please enter no more than 4 characters.");
  EXPECT_EQ(window.focus(), res::IDC_START_NAP);
  EXPECT_EQ(dialog.Fields().FirmwarePath, "new path");
  EXPECT_EQ(dialog.Fields().DeviceName, "蓝牙耳机ABC");
  EXPECT_EQ(dialog.Fields().StartNap, "old");
  EXPECT_EQ(dialog.Fields().StartLap, "old");
}

TEST_F(FieldExchange, LimitsCountGbkBytes) {
  window.Type(res::IDC_DEVICE_NAME, "蓝牙耳机名字好");  // seven characters, 14 bytes
  EXPECT_FALSE(dialog.CollectFields());
  EXPECT_EQ(window.focus(), res::IDC_DEVICE_NAME);
}

TEST_F(FieldExchange, ListsShowTheFirstEntryStartingWithTheValueAndCollectTheSelection) {
  window.AddString(res::IDC_DEVICE1_LIST, "USB SPI (0)");
  window.AddString(res::IDC_DEVICE1_LIST, "LPT SPI (1)");
  dialog.Fields().Device1Label = "LPT";
  dialog.ShowFields();
  EXPECT_EQ(window.CurSel(res::IDC_DEVICE1_LIST), 1);
  dialog.Fields().Device1Label = "none such";
  dialog.ShowFields();
  EXPECT_EQ(window.CurSel(res::IDC_DEVICE1_LIST), -1);
  EXPECT_TRUE(dialog.CollectFields());
  EXPECT_EQ(dialog.Fields().Device1Label, "");
  window.Select(res::IDC_DEVICE1_LIST, 0);
  EXPECT_TRUE(dialog.CollectFields());
  EXPECT_EQ(dialog.Fields().Device1Label, "USB SPI (0)");
}

TEST_F(FieldExchange, EnterEndsTheDialogOnlyWhenEveryFieldFits) {
  window.Type(res::IDC_START_UAP, "5bb");
  dialog.OnOK();
  EXPECT_FALSE(window.endResult().has_value());
  EXPECT_EQ(window.focus(), res::IDC_START_UAP);
  window.Type(res::IDC_START_UAP, "5b");
  dialog.OnOK();
  EXPECT_EQ(window.endResult(), app::IDOK);
}

TEST_F(FieldExchange, CancelEndsWithoutCollecting) {
  window.Type(res::IDC_START_UAP, "5bb");
  dialog.OnCancel();
  EXPECT_EQ(window.endResult(), app::IDCANCEL);
  EXPECT_TRUE(window.messageBoxes().empty());
}

}  // namespace
