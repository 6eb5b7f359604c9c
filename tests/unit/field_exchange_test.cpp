#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/dialog_fixture.h"

namespace {

using fakes::DialogTest;
using FieldExchange = DialogTest;

// The exchange's order, control by control, with each control's value and limit.
struct Bound {
  int id;
  const char* name;
  std::string& (*value)(dialog::FieldValues&);
  size_t limit;  // 0: none
  bool list;
};
#define VALUE(member) [](dialog::FieldValues& f) -> std::string& { return f.member; }
const Bound kOrder[] = {
    {res::IDC_FIRMWARE_PATH, "FirmwarePath", VALUE(FirmwarePath), 0, false},
    {res::IDC_DEVICE1_LIST, "Device1Label", VALUE(Device1Label), 0, true},
    {res::IDC_NEXT_NAP, "NextNap", VALUE(NextNap), 0, false},
    {res::IDC_NEXT_UAP, "NextUap", VALUE(NextUap), 0, false},
    {res::IDC_NEXT_LAP, "NextLap", VALUE(NextLap), 6, false},
    {res::IDC_BURN_COUNT, "BurnCount", VALUE(BurnCount), 0, false},
    {res::IDC_DEVICE_NAME, "DeviceName", VALUE(DeviceName), 12, false},
    {res::IDC_DEVICE2_LIST, "Device2Label", VALUE(Device2Label), 0, true},
    {res::IDC_START_NAP, "StartNap", VALUE(StartNap), 4, false},
    {res::IDC_START_LAP, "StartLap", VALUE(StartLap), 6, false},
    {res::IDC_START_UAP, "StartUap", VALUE(StartUap), 2, false},
    {res::IDC_CURRENT_NAP, "CurrentNap", VALUE(CurrentNap), 0, false},
    {res::IDC_CURRENT_UAP, "CurrentUap", VALUE(CurrentUap), 0, false},
    {res::IDC_CURRENT_LAP, "CurrentLap", VALUE(CurrentLap), 6, false},
    {res::IDC_PIO1, "PioText1", VALUE(PioText[0]), 0, false},
    {res::IDC_PIO2, "PioText2", VALUE(PioText[1]), 0, false},
    {res::IDC_PIO3, "PioText3", VALUE(PioText[2]), 0, false},
    {res::IDC_PIO4, "PioText4", VALUE(PioText[3]), 0, false},
    {res::IDC_PIO5, "PioText5", VALUE(PioText[4]), 0, false},
    {res::IDC_PIO6, "PioText6", VALUE(PioText[5]), 0, false},
    {res::IDC_PIO7, "PioText7", VALUE(PioText[6]), 0, false},
    {res::IDC_PIO8, "PioText8", VALUE(PioText[7]), 0, false},
};
#undef VALUE

std::vector<int> OrderIds() {
  std::vector<int> ids;
  for (const Bound& b : kOrder) ids.push_back(b.id);
  return ids;
}

// Keeps which control each exchange reads or writes, in order.
class ExchangeOrderWindow : public fakes::MemoryWindow {
 public:
  std::string ItemText(int id) const override {
    read.push_back(id);
    return MemoryWindow::ItemText(id);
  }
  int CurSel(int id) const override {
    read.push_back(id);
    return MemoryWindow::CurSel(id);
  }
  void SetItemText(int id, std::string_view text) override {
    written.push_back(id);
    MemoryWindow::SetItemText(id, text);
  }
  void SetCurSel(int id, int index) override {
    written.push_back(id);
    MemoryWindow::SetCurSel(id, index);
  }
  mutable std::vector<int> read;
  std::vector<int> written;
};

TEST_F(FieldExchange, EveryBoundControlIsExchangedInTheOrderOfTheBindings) {
  ExchangeOrderWindow ordered;
  app::MainDialog exchanging{ordered, engine, flash, e2, transports};
  exchanging.ShowFields();
  EXPECT_EQ(ordered.written, OrderIds());
  EXPECT_TRUE(exchanging.CollectFields());
  EXPECT_EQ(ordered.read, OrderIds());
}

TEST_F(FieldExchange, EachValueIsShownInAndCollectedFromItsOwnControl) {
  for (const Bound& b : kOrder) {
    std::string text = std::string("shown ") + b.name;
    b.value(dialog.Fields()) = text.substr(0, b.limit ? b.limit : text.size());
    // A list shows its value by selecting the entry that begins with it.
    if (b.list) {
      window.AddString(b.id, "other entry");
      window.AddString(b.id, text + " entry");
    }
  }
  dialog.ShowFields();
  for (const Bound& b : kOrder) {
    if (b.list) EXPECT_EQ(window.CurSel(b.id), 1) << b.name;
    else EXPECT_EQ(window.ItemText(b.id), b.value(dialog.Fields())) << b.name;
  }

  for (const Bound& b : kOrder) {
    if (b.list) window.Select(b.id, 0);
    else window.Type(b.id, std::string(b.limit ? b.limit : 10, static_cast<char>('a' + (b.id % 26))));
  }
  EXPECT_TRUE(dialog.CollectFields());
  for (const Bound& b : kOrder) {
    if (b.list) EXPECT_EQ(b.value(dialog.Fields()), "other entry") << b.name;
    else EXPECT_EQ(b.value(dialog.Fields()), window.ItemText(b.id)) << b.name;
  }
}

TEST_F(FieldExchange, CollectingStopsAtEachLimitedFieldWithTheFieldsBeforeItTaken) {
  for (size_t over = 0; over < std::size(kOrder); ++over) {
    const Bound& stop = kOrder[over];
    if (stop.limit == 0) continue;
    fakes::MemoryWindow typed;
    app::MainDialog collecting{typed, engine, flash, e2, transports};
    for (const Bound& b : kOrder) {
      b.value(collecting.Fields()) = "old";
      if (b.list) {
        typed.AddString(b.id, "nw");
        typed.Select(b.id, 0);
      } else {
        typed.Type(b.id, &b == &stop ? std::string(stop.limit + 1, '7') : "nw");  // "nw" fits every limit
      }
    }
    EXPECT_FALSE(collecting.CollectFields()) << stop.name;
    EXPECT_EQ(typed.focus(), stop.id) << stop.name;
    for (size_t i = 0; i < std::size(kOrder); ++i) {
      EXPECT_EQ(kOrder[i].value(collecting.Fields()), i < over ? "nw" : "old")
          << kOrder[i].name << " when " << stop.name << " is over its limit";
    }
  }
}

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
  EXPECT_EQ(window.endResult(), dialog::kIdOk);
}

TEST_F(FieldExchange, CancelEndsWithoutCollecting) {
  window.Type(res::IDC_START_UAP, "5bb");
  dialog.OnCancel();
  EXPECT_EQ(window.endResult(), dialog::kIdCancel);
  EXPECT_TRUE(window.messageBoxes().empty());
}

}  // namespace
