// The station's window on a line's server: the start row shows the shared
// range's next address, the count is this station's own.
#include "app/main_dialog.h"
#include "ledger/server/server_ledger.h"
#include "res/resource_ids.h"
#include "tests/server/server_fixture.h"
#include "tests/support/memory_window.h"

namespace {

using ServerLedgerWindow = pgtest::ServerTest;

TEST_F(ServerLedgerWindow, TheStartRowShowsTheSharedRangeAndTheCountIsThisStationsOwn) {
  AddRange(0x100000, 0x10ffff);
  const std::string mine = Station("s1");
  std::filesystem::create_directory("s2");
  {
    ledger::server::ServerLedger other("s2/btconfig.ini", {url, "s2"}, "s2/ledger_outbox.db");
    for (int i = 0; i < 3; ++i) {
      ledger::OperationRow row;
      row.operation = ledger::kAddressWrite;
      ledger::BdAddress address = other.Next().address;
      ASSERT_EQ(other.Reserve(&address, &row), ledger::Refusal::None);
      other.Written(&row, address);
      other.Record(row);
    }
  }
  std::filesystem::current_path(mine);
  platform::WriteProfileString("SUM", "total", "77", "btconfig.ini");  // the station's own count, left alone
  fakes::MemoryWindow window;
  dialog::Transports transports;
  app::MainDialog dialog(window, *libs.engine, *libs.flash, *libs.e2, transports);
  dialog.OnInitDialog();
  dialog.OnPaint();
  EXPECT_EQ(window.ItemText(res::IDC_START_NAP) + window.ItemText(res::IDC_START_UAP) +
                window.ItemText(res::IDC_START_LAP),
            "00025b100003");
  EXPECT_EQ(window.ItemText(res::IDC_BURN_COUNT), "0");

  window.SetCheck(res::IDC_DEVICE1, dialog::kBstChecked);
  window.SetCheck(res::IDC_DEVICE2, dialog::kBstChecked);
  dialog.OnCommand(res::IDC_SET_ADDR);
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "写蓝牙地址成功! ");
  EXPECT_EQ(window.ItemText(res::IDC_CURRENT_LAP), "100004");
  EXPECT_EQ(window.ItemText(res::IDC_NEXT_NAP) + window.ItemText(res::IDC_NEXT_UAP) + window.ItemText(res::IDC_NEXT_LAP),
            "00025b100005");
  EXPECT_EQ(window.ItemText(res::IDC_BURN_COUNT), "2");
  EXPECT_EQ(Accepted(mine), (std::vector<uint32_t>{0x100003, 0x100004}));

  window.AnswerNextMessageBox(dialog::kIdYes);
  dialog.OnCommand(res::IDC_CLEAR);
  EXPECT_EQ(window.ItemText(res::IDC_BURN_COUNT), "0");
  EXPECT_EQ(Scalar("SELECT total FROM station_counts WHERE station = 's1'"), "0");
  EXPECT_EQ(Scalar("SELECT total FROM station_counts WHERE station = 's2'"), "3");
  EXPECT_EQ(platform::ReadProfileString("SUM", "total", 64, "btconfig.ini"), "77");
  std::filesystem::current_path(folder.path());
}

}  // namespace
