// Tarnwick.exe on a line's server over TLS: the cluster is the host side's
// (tests/server/with-cluster), reached on 127.0.0.1 with its certificate
// checked and the password from %APPDATA%\postgresql\pgpass.conf. SetAddr
// writes the range's address into the module and its row onto the server,
// and tarnwick-record.exe reads that row back from the server.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ledger/server/pg_session.h"
#include "ledger/server/range_setup.h"
#include "res/resource_ids.h"
#include "tests/server/child.h"
#include "tests/ui/win32/station_process.h"

namespace win32test {
namespace {

std::string Slurped(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ServerWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* cluster = std::getenv("TARNWICK_TEST_CLUSTER");
    if (cluster == nullptr || *cluster == '\0') GTEST_SKIP() << "no cluster: run through tests/server/with-cluster";
    const std::string folder = cluster;
    const std::string server = "postgresql://tarnwick@localhost:" + std::to_string(std::atoi(Slurped(folder + "/port").c_str()));
    std::filesystem::copy_file(folder + "/line-ca.crt", station.Folder() / "line-ca.crt");
    // A database of its own, with one range, as tarnwick-record range add leaves it.
    const std::string tls = "?sslmode=verify-full&sslrootcert=" + folder + "/line-ca.crt";
    ledger::server::PgSession admin(server + "/postgres" + tls);
    ASSERT_TRUE(admin.Connect()) << admin.error();
    admin.Execute("DROP DATABASE IF EXISTS serverwindow");
    ASSERT_TRUE(admin.Execute("CREATE DATABASE serverwindow")) << admin.error();
    line = std::make_unique<ledger::server::PgSession>(server + "/serverwindow" + tls);
    ASSERT_EQ(ledger::server::AddRange(*line, 2, 0x5b, 0x300000, 0x30ffff).outcome,
              ledger::server::RangeAdded::Added)
        << line->error();
    // The station names the CA as a line's station does: the file beside btconfig.ini.
    station.Write("btconfig.ini", "[ledger]\r\nurl=" + server + "/serverwindow?sslmode=verify-full&sslrootcert=line-ca.crt" +
                                      "\r\nstation=pc1\r\n");
    ASSERT_TRUE(station.Start());
    const std::string stationIni = (station.Folder() / "station" / "station.ini").string();
    WritePrivateProfileStringA("station", "timing", "instant", stationIni.c_str());
    station.Click(res::IDC_DEVICE1);
    ASSERT_TRUE(station.WaitIdle());
  }

  std::string Scalar(const char* sql) {
    ledger::server::Result result = line->Run(sql);
    EXPECT_TRUE(result) << line->error();
    return result && PQntuples(result.get()) > 0 ? PQgetvalue(result.get(), 0, 0) : "";
  }

  StationProcess station;
  std::unique_ptr<ledger::server::PgSession> line;
};

TEST_F(ServerWindow, SetAddrOverTlsWritesTheRangesAddressAndItsRowTheRecordToolReadsBack) {
  EXPECT_EQ(station.Text(res::IDC_START_NAP) + station.Text(res::IDC_START_UAP) + station.Text(res::IDC_START_LAP),
            L"00025b300000");
  station.Click(res::IDC_SET_ADDR);
  ASSERT_TRUE(station.WaitIdle());
  EXPECT_TRUE(station.boxes.empty());
  EXPECT_EQ(station.Text(res::IDC_STATUS), L"写蓝牙地址成功! ") << Gbk(station.LogJoined());
  EXPECT_EQ(station.Text(res::IDC_CURRENT_LAP), L"300000");
  EXPECT_EQ(station.Text(res::IDC_BURN_COUNT), L"1");

  const std::string stationIni = (station.Folder() / "station" / "station.ini").string();
  char module[64] = {}, lap[64] = {};
  GetPrivateProfileStringA("adapter usb", "module", "", module, sizeof module, stationIni.c_str());
  GetPrivateProfileStringA((std::string("module ") + module).c_str(), "lap", "", lap, sizeof lap, stationIni.c_str());
  EXPECT_EQ(std::stoul(lap, nullptr, 16), 0x300000u);

  EXPECT_EQ(Scalar("SELECT station || ' ' || state || ' ' || to_hex(lap) FROM operations WHERE lap = 3145728"),
            "pc1 written 300000");
  EXPECT_EQ(Scalar("SELECT total FROM station_counts WHERE station = 'pc1'"), "1");

  const std::string folder = station.Folder().string();
  pgtest::ChildId tool = pgtest::StartChild((ProgramFolder() / "tarnwick-record.exe").string(), {"export", "all.csv"},
                                            folder, "tool.out");
  ASSERT_NE(tool, 0);
  EXPECT_EQ(pgtest::WaitChild(tool), 0) << station.Read("tool.out");
  const std::string csv = station.Read("all.csv");
  EXPECT_NE(csv.find(",pc1,"), std::string::npos) << csv;
  EXPECT_NE(csv.find("300000"), std::string::npos) << csv;
}

}  // namespace
}  // namespace win32test
