#include <gtest/gtest.h>

#include "tests/support/dialog_fixture.h"

namespace {

using fakes::DialogTest;
using InitDialog = DialogTest;

TEST_F(InitDialog, WithoutSettingsFileFieldsAreEmptyEepromIsTickedAndSizeIsZero) {
  dialog.OnInitDialog();
  for (int id : {res::IDC_START_NAP, res::IDC_START_UAP, res::IDC_START_LAP, res::IDC_BURN_COUNT}) {
    EXPECT_EQ(window.ItemText(id), "") << id;
  }
  EXPECT_EQ(window.ButtonState(res::IDC_EEPROM), dialog::kBstChecked);
  EXPECT_EQ(window.ButtonState(res::IDC_SPI_FLASH), 0);
  EXPECT_EQ(window.ButtonState(res::IDC_PARALLEL_FLASH), 0);
  EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), "0Kbit");
  EXPECT_TRUE(window.messageBoxes().empty());
  EXPECT_TRUE(allCalls.empty());  // the libraries are first asked at the first paint
}

TEST_F(InitDialog, ShowsTheStoredCounterPioTextsAndPutsCaretsAtTheEnd) {
  folder.Write("btconfig.ini",
               "[SUM]\r\ntotal=9\r\n[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=00a1ff\r\n"
               "[PIO]\r\npio_1=IO1\r\npio_8=天线\r\n");
  dialog.OnInitDialog();
  EXPECT_EQ(window.ItemText(res::IDC_BURN_COUNT), "9");
  EXPECT_EQ(window.ItemText(res::IDC_START_NAP), "0002");
  EXPECT_EQ(window.ItemText(res::IDC_START_UAP), "5b");
  EXPECT_EQ(window.ItemText(res::IDC_START_LAP), "00a1ff");
  EXPECT_EQ(window.ItemText(res::IDC_PIO1), "IO1");
  EXPECT_EQ(window.ItemText(res::IDC_PIO8), "天线");
  int start = 0, end = 0;
  window.GetSel(res::IDC_START_LAP, &start, &end);
  EXPECT_EQ(start, 6);
  EXPECT_EQ(end, 6);
  window.GetSel(res::IDC_BURN_COUNT, &start, &end);
  EXPECT_EQ(start, 1);
}

TEST_F(InitDialog, SevenDigitLapIsShownInFullThenRefusedByTheFirstCollection) {
  folder.Write("btconfig.ini", "[address]\nLAP=1000000\n");
  dialog.OnInitDialog();
  EXPECT_EQ(window.ItemText(res::IDC_START_LAP), "1000000");
  ASSERT_EQ(window.messageBoxes().size(), 1u);  // from writing "0Kbit", which collects first
  EXPECT_EQ(window.messageBoxes()[0].text, "Please enter no more than 6 characters.");
  EXPECT_EQ(window.focus(), res::IDC_START_LAP);
  EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), "0Kbit");
}

TEST_F(InitDialog, LapLongerThan127BytesIsCutAtStart) {
  folder.Write("btconfig.ini", "[address]\nLAP=" + std::string(200, '1') + "\n");
  dialog.OnInitDialog();
  EXPECT_EQ(window.ItemText(res::IDC_START_LAP), std::string(127, '1'));
}

TEST_F(InitDialog, AboutItemJoinsTheSystemMenuAndOpensTheAboutBox) {
  dialog.OnInitDialog();
  // The About item, then the record's export behind it.
  ASSERT_EQ(window.systemMenu().size(), 2u);
  EXPECT_EQ(window.systemMenu()[0].first, 16);
  EXPECT_EQ(window.systemMenu()[0].second, "关于 Tarnwick(&A)...");
  EXPECT_EQ(window.systemMenu()[1].first, 32);
  EXPECT_EQ(window.systemMenu()[1].second, "导出生产记录(&E)...");
  EXPECT_TRUE(window.iconSet());

  EXPECT_TRUE(dialog.OnSysCommand(16));
  EXPECT_TRUE(dialog.OnSysCommand(0x1F));  // the low four bits do not count
  EXPECT_EQ(window.aboutShown(), 2);
  EXPECT_FALSE(dialog.OnSysCommand(0xF060));  // close: the window's own handling
  EXPECT_EQ(window.aboutShown(), 2);
}

TEST_F(InitDialog, EveryControlOfTheTemplateWithAHandlerIsRouted) {
  for (int id : {1000, 1004, 1005, 1002, 1017, 1019, 1028, 1029, 1030, 1032, 1033, 1040, 1041, 1042, 1021, 1031,
                 1043, 1044, 1045, 1034, 1050}) {
    EXPECT_TRUE(dialog.OnCommand(id)) << id;
  }
  EXPECT_FALSE(dialog.OnCommand(1003));
  EXPECT_FALSE(dialog.OnCommand(1006));
}

}  // namespace
