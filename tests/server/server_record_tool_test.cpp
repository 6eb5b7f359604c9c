// tarnwick-record against the server named by btconfig.ini: setting up a
// range, and reading every station's rows.
#include "ledger/server/outbox.h"
#include "ledger/server/server_ledger.h"
#include "tests/server/server_fixture.h"

namespace {

using pgtest::ServerTest;

struct Ran {
  int status = -1;
  std::string out, err;
};

class ServerLedgerRecordTool : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    platform::WriteProfileString("ledger", "url", url, "btconfig.ini");
  }
  Ran Run(const std::vector<std::string>& words) {
    std::error_code absent;  // the first run finds none
    std::filesystem::remove("tool.out", absent);
    std::filesystem::remove("tool.err", absent);
    Ran ran;
    pgtest::ChildId tool = pgtest::StartChild(TARNWICK_RECORD, words, std::filesystem::current_path().string(), "tool.out",
                                                  "tool.err");
    EXPECT_NE(tool, 0);
    ran.status = Wait(tool);
    ran.out = pgtest::Slurp("tool.out");
    ran.err = pgtest::Slurp("tool.err");
    return ran;
  }
};

TEST_F(ServerLedgerRecordTool, RangeAddRefusesOverlapsAndTheReservedBlock) {
  ASSERT_EQ(Run({"range", "add", "0002", "5b", "100000", "10ffff"}).status, 0);
  struct {
    std::vector<std::string> range;
    int status;
    std::string says;
  } const kCases[] = {
      {{"0002", "5b", "10ffff", "110000"}, 2, "overlaps the range 0002 5b 100000 10ffff"},
      {{"0002", "5b", "0fff00", "100000"}, 2, "overlaps the range 0002 5b 100000 10ffff"},
      {{"0002", "5b", "0f0000", "120000"}, 2, "overlaps the range 0002 5b 100000 10ffff"},
      {{"0002", "5b", "100100", "100200"}, 2, "overlaps the range 0002 5b 100000 10ffff"},
      {{"0002", "5b", "9e8a00", "9e8b00"}, 2, "reserved LAPs 9e8b00-9e8b3f"},
      {{"0002", "5b", "9e8b3f", "9e8c00"}, 2, "reserved LAPs 9e8b00-9e8b3f"},
      {{"0002", "5b", "130000", "12ffff"}, 2, "FIRST_LAP is after LAST_LAP"},
      {{"0002", "5b", "12000g", "130000"}, 2, "in hexadecimal"},
      {{"0002", "5b", "110000", "11ffff"}, 0, ""},  // touching is no overlap
      {{"0002", "5c", "100000", "10ffff"}, 0, ""},  // nor the same LAPs under another UAP
  };
  for (const auto& c : kCases) {
    std::vector<std::string> words = {"range", "add"};
    words.insert(words.end(), c.range.begin(), c.range.end());
    Ran ran = Run(words);
    EXPECT_EQ(ran.status, c.status) << c.range[2] << " " << ran.err;
    EXPECT_NE(ran.err.find(c.says), std::string::npos) << ran.err;
  }
  EXPECT_EQ(Count("SELECT count(*) FROM address_ranges"), 3);
}

TEST_F(ServerLedgerRecordTool, ExportCheckAndSummaryReadEveryStationsRows) {
  ASSERT_EQ(Run({"range", "add", "0002", "5b", "100000", "10ffff"}).status, 0);
  int64_t abandonedId = 0;
  for (const char* name : {"s1", "s2"}) {
    std::filesystem::create_directory(name);
    const std::string settings = std::string(name) + "/btconfig.ini";
    ledger::server::ServerLedger station(settings, {url, name}, std::string(name) + "/ledger_outbox.db");
    for (int i = 0; i < 2; ++i) {
      ledger::OperationRow row;
      row.operation = ledger::kAddressWrite;
      row.transport = "SPITRANS=USB SPIPORT=0";
      row.slot = 1;
      row.result = "写蓝牙地址成功! ";  // GBK, as the program holds it
      ledger::BdAddress address = station.Next().address;
      ASSERT_EQ(station.Reserve(&address, &row), ledger::Refusal::None);
      station.Written(&row, address);
      station.Record(row);
    }
    ledger::OperationRow abandoned;
    abandoned.operation = ledger::kAddressWrite;
    ledger::BdAddress address = station.Next().address;
    if (std::string(name) == "s2") {
      ASSERT_EQ(station.Reserve(&address, &abandoned), ledger::Refusal::None);
    }
    abandonedId = abandoned.id;
  }
  ASSERT_NE(abandonedId, 0);
  ledger::server::ServerLedger("s2/btconfig.ini", {url, "s2"}, "s2/ledger_outbox.db");  // settles it

  Ran exported = Run({"export", "all.csv"});
  EXPECT_EQ(exported.status, 0) << exported.err;
  std::string csv = pgtest::Slurp("all.csv");
  EXPECT_EQ(pgtest::Occurrences(csv, ",s1,"), 2u);
  EXPECT_EQ(pgtest::Occurrences(csv, ",s2,"), 3u);
  EXPECT_EQ(pgtest::Occurrences(csv, reinterpret_cast<const char*>(u8"写蓝牙地址成功! ")), 4u);

  Ran checked = Run({"check"});
  EXPECT_EQ(checked.status, 0) << checked.err;
  EXPECT_NE(checked.out.find("found: duplicates 0, unknown outcomes 1, gaps 0"), std::string::npos) << checked.out;

  Ran summary = Run({"summary"});
  EXPECT_EQ(summary.status, 0) << summary.err;
  EXPECT_NE(summary.out.find("addressed"), std::string::npos) << summary.out;
  EXPECT_NE(summary.out.find("        4"), std::string::npos) << summary.out;

  // --db still reads a station's own file.
  EXPECT_EQ(Run({"--db", "missing.db", "check"}).status, 2);
}

TEST_F(ServerLedgerRecordTool, AChineseStationNameGoesAsUtf8AndRowsTheServerRefusesAreSetAsideWhereCheckShowsThem) {
  ASSERT_EQ(Run({"range", "add", "0002", "5b", "100000", "10ffff"}).status, 0);
  const ledger::LedgerSettings settings{url, "一号线"};  // GBK bytes, as btconfig.ini holds them
  ledger::OperationRow left = {};
  left.operation = ledger::kAddressWrite;
  {
    ledger::server::ServerLedger run("./btconfig.ini", settings, "./ledger_outbox.db");
    ledger::BdAddress address = run.Next().address;
    ASSERT_EQ(run.Reserve(&address, &left), ledger::Refusal::None);
  }
  {
    // What an older run queued with GBK bytes where the server takes only
    // UTF-8: the confirmation of that pending mark, and a row named by the
    // station's GBK name; behind them, a row the server takes.
    ledger::server::Outbox older("./ledger_outbox.db");
    ledger::server::ServerRow confirmation;
    confirmation.id = left.id;
    confirmation.time = "2026-12-10 08:00:00";
    confirmation.operation = ledger::kAddressWrite;
    confirmation.result = "写蓝牙地址成功! ";
    confirmation.state = "written";
    confirmation.nap = 2;
    confirmation.uap = 0x5b;
    confirmation.lap = 0x100000;
    ledger::server::ServerRow named = confirmation;
    named.id = 0;
    named.state.reset();
    named.nap = named.uap = named.lap = std::nullopt;
    named.result = "ok";
    named.origin = std::string("一号线") + ":0123456789abcdef:1";
    ledger::server::ServerRow burn = named;
    burn.operation = ledger::kBurn;
    burn.origin = "line1:0123456789abcdef:2";
    ASSERT_TRUE(older.Keep(confirmation) && older.Keep(named) && older.Keep(burn));
  }
  ledger::server::ServerLedger station("./btconfig.ini", settings, "./ledger_outbox.db");
  ledger::OperationRow row;
  row.operation = ledger::kAddressWrite;
  ledger::NextAddress next = station.Next();
  ASSERT_EQ(next.refusal, ledger::Refusal::None) << "rows queued with bad bytes block the presses";
  EXPECT_EQ(next.lapText, "100001");  // the unconfirmed one is never given again
  ASSERT_EQ(station.Reserve(&next.address, &row), ledger::Refusal::None);
  station.Written(&row, next.address);
  station.Record(row);

  const std::string utf8Name = reinterpret_cast<const char*>(u8"一号线");
  EXPECT_EQ(Scalar("SELECT state FROM operations WHERE id = " + std::to_string(left.id)), "unknown");
  EXPECT_EQ(Scalar("SELECT station FROM operations WHERE id = " + std::to_string(row.id)), utf8Name);
  EXPECT_EQ(Scalar("SELECT state FROM operations WHERE id = " + std::to_string(row.id)), "written");
  EXPECT_EQ(Scalar("SELECT total FROM station_counts WHERE station = '" + utf8Name + "'"), "1");
  EXPECT_EQ(Count("SELECT count(*) FROM operations WHERE operation = 'burn'"), 1);

  Ran checked = Run({"check"});
  EXPECT_EQ(checked.status, 0) << checked.err;
  EXPECT_NE(checked.out.find("set aside: 2 rows"), std::string::npos) << checked.out;
  EXPECT_NE(checked.out.find("0002:5b:100000  written"), std::string::npos) << checked.out;
  EXPECT_NE(checked.out.find("found: duplicates 0, unknown outcomes 1, gaps 0, set aside 2"), std::string::npos)
      << checked.out;
}

}  // namespace
