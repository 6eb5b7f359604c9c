// The station's window on a line's server: the start row shows the shared
// range's next address, the count is this station's own; what a press says
// when the server refuses it, or cannot answer in time.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "app/main_dialog.h"
#include "ledger/server/server_ledger.h"
#include "res/resource_ids.h"
#include "tests/server/server_fixture.h"
#include "tests/support/memory_window.h"

namespace {

using ServerLedgerWindow = pgtest::ServerTest;

// One SetAddr press in `station`, on device 1 or on both: what the window shows after it.
struct Pressed {
  std::string status, next;
};
Pressed PressSetAddr(const std::string& station, bool both, vendor::Libraries& libs) {
  std::filesystem::current_path(station);
  fakes::MemoryWindow window;
  dialog::Transports transports;
  app::MainDialog dialog(window, *libs.engine, *libs.flash, *libs.e2, transports);
  dialog.OnInitDialog();
  dialog.OnPaint();
  window.SetCheck(res::IDC_DEVICE1, dialog::kBstChecked);
  if (both) window.SetCheck(res::IDC_DEVICE2, dialog::kBstChecked);
  window.Type(res::IDC_START_LAP, "x");  // a refused start leaves the start row empty
  dialog.OnCommand(res::IDC_SET_ADDR);
  Pressed pressed{window.ItemText(res::IDC_STATUS), window.ItemText(res::IDC_NEXT_NAP) +
                                                        window.ItemText(res::IDC_NEXT_UAP) +
                                                        window.ItemText(res::IDC_NEXT_LAP)};
  return pressed;
}

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

TEST_F(ServerLedgerWindow, ThePressThatTakesTheLastAddressShowsNoNextOneAndSaysTheRangeIsUsedUp) {
  AddRange(0x100000, 0x100001);
  const std::string station = Station("s1");
  Pressed last = PressSetAddr(station, true, libs);
  std::filesystem::current_path(folder.path());
  EXPECT_EQ(Accepted(station), (std::vector<uint32_t>{0x100000, 0x100001}));
  EXPECT_EQ(last.next, "");
  const std::string server = ledger::server::ParseServerUrl(url).server;
  EXPECT_EQ(last.status, "地址服务器" + server + "上的地址段已用完! 请用tarnwick-record range add添加新的地址段. ");
}

TEST_F(ServerLedgerWindow, EachRefusalOrWaitThatRanOutHasItsOwnLineNamingTheServer) {
  AddRange(0x100000, 0x10ffff);
  // One role that may not log in, one whose password in .pgpass is wrong.
  ASSERT_TRUE(Query("CREATE ROLE clerk NOLOGIN PASSWORD 'clerk-secret'"));
  ASSERT_TRUE(Query("CREATE ROLE typist LOGIN PASSWORD 'typist-secret'"));
  const std::string passFile = folder.path() + "/pgpass";
  std::ofstream(passFile) << "*:*:*:tarnwick:line-secret\n*:*:*:clerk:clerk-secret\n*:*:*:typist:mistyped\n";
  std::filesystem::permissions(passFile, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  const std::string savedPassFile = getenv("PGPASSFILE");
  setenv("PGPASSFILE", passFile.c_str(), 1);
  // A server that takes the connection and never says a word.
  int silent = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(silent, 8), 0);
  ASSERT_EQ(getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const std::string silentServer = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));

  auto as = [&](const std::string& role) {
    std::string other = url;
    other.replace(other.find("tarnwick@"), 8, role);
    return other;
  };
  struct {
    const char* name;
    std::string url;
    std::string says;
  } const kCases[] = {
      {"password", as("typist"), "拒绝了密码! 地址未写入, 请检查.pgpass中的用户名和密码. "},
      {"role", as("clerk"), "不允许[ledger] url中的用户登录! 地址未写入, 请检查用户名和服务器上的用户权限. "},
      {"database", url.substr(0, url.rfind('/')) + "/nosuchdb", "上没有[ledger] url中的数据库! 地址未写入, 请检查btconfig.ini中的数据库名. "},
      {"connect", "postgresql://tarnwick@" + silentServer + "/line", "超时(4秒)! 地址未写入, 请检查网络和服务器后再按SetAddr. "},
      {"lock", url, "的取号锁超时(5秒), 其他工位占用太久! 地址未写入, 请再按SetAddr. "},
  };
  for (const auto& c : kCases) {
    const std::string station = Station(c.name);
    platform::WriteProfileString("ledger", "url", c.url, station + "/btconfig.ini");
    if (std::string(c.name) == "lock") {
      ASSERT_EQ(Count("SELECT count(*) FROM (SELECT pg_advisory_lock(7286044)) held"), 1);
    }
    Pressed pressed = PressSetAddr(station, false, libs);
    std::filesystem::current_path(folder.path());
    const std::string server = ledger::server::ParseServerUrl(c.url).server;
    EXPECT_NE(pressed.status.find(server), std::string::npos) << c.name << ": " << pressed.status;
    EXPECT_NE(pressed.status.find(c.says), std::string::npos) << c.name << ": " << pressed.status;
    EXPECT_TRUE(Accepted(station).empty()) << c.name;
  }
  EXPECT_EQ(Scalar("SELECT pg_advisory_unlock(7286044)"), "t");
  close(silent);
  setenv("PGPASSFILE", savedPassFile.c_str(), 1);
}

}  // namespace
