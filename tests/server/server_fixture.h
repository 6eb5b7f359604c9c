// A database of its own on the test cluster for each test, station folders
// whose btconfig.ini names it, and the press-loop program run in them.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "ledger/server/pg_session.h"
#include "ledger/server/range_setup.h"
#include "platform/profile_file.h"
#include "platform/sleep.h"
#include "tests/server/child.h"
#include "tests/server/pg_cluster.h"
#include "tests/station/accepted_laps.h"
#include "tests/support/temp_directory.h"
#include "vendor/library_loader.h"

namespace pgtest {

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline size_t Occurrences(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    database = "t";
    for (char c : name) database += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    database = database.substr(0, 60);
    std::string error;
    ASSERT_TRUE(PgCluster::Get().CreateDatabase(database, &error)) << error;
    url = PgCluster::Get().Url(database);
    session = std::make_unique<ledger::server::PgSession>(url);
  }

  void AddRange(uint32_t first, uint32_t last) {
    ASSERT_EQ(ledger::server::AddRange(*session, 2, 0x5b, first, last).outcome, ledger::server::RangeAdded::Added);
  }

  // Once more on a new connection when the server was restarted under the old one.
  ledger::server::Result Query(const std::string& sql) {
    for (int attempt = 0; attempt < 2; ++attempt) {
      if (!session->Connect()) break;
      ledger::server::Result result = session->Run(sql.c_str());
      if (result || session->Up()) return result;
    }
    return nullptr;
  }
  // The first column of the first row, as text; "" when none.
  std::string Scalar(const std::string& sql) {
    ledger::server::Result result = Query(sql);
    EXPECT_TRUE(result) << sql << ": " << session->error();
    if (!result || PQntuples(result.get()) == 0) return "";
    return PQgetvalue(result.get(), 0, 0);
  }
  int64_t Count(const std::string& sql) { return std::stoll(Scalar(sql)); }
  // The LAPs of every mark of 0002:5b in `states`, e.g. "'written', 'unknown'".
  std::multiset<uint32_t> Marks(const std::string& states) {
    std::multiset<uint32_t> laps;
    ledger::server::Result result =
        Query("SELECT lap FROM operations WHERE nap = 2 AND uap = 91 AND state IN (" + states + ")");
    EXPECT_TRUE(result) << session->error();
    for (int row = 0; result && row < PQntuples(result.get()); ++row) laps.insert(std::stoul(PQgetvalue(result.get(), row, 0)));
    return laps;
  }

  // A station's folder: btconfig.ini naming the server and the station, and
  // the simulated station with its two modules, instant and traced.
  std::string Station(const std::string& name) {
    std::string path = folder.path() + "/" + name;
    std::filesystem::create_directory(path);
    platform::WriteProfileString("ledger", "url", url, path + "/btconfig.ini");
    platform::WriteProfileString("ledger", "station", name, path + "/btconfig.ini");
    if (!libs.engine) {
      std::string error;
      EXPECT_TRUE(vendor::LoadLibraries(SIM_LIBRARY_DIR, &libs, &error)) << error;
    }
    std::filesystem::current_path(path);
    uint16_t length = 0, count = 0;
    libs.engine->teGetAvailableSpiPorts(&length, nullptr, nullptr, &count);  // lays out the default station
    platform::WriteProfileString("station", "timing", "instant", "station/station.ini");
    platform::WriteProfileString("station", "trace", "on", "station/station.ini");
    std::filesystem::current_path(folder.path());
    return path;
  }

  // The press loop in `station`, pressing SetAddr (both devices) `presses`
  // times, or until a file named stop appears there; its log lines into presses.log.
  ChildId Press(const std::string& station, int presses) {
    ChildId child = StartChild(PRESS_LOOP, {SIM_LIBRARY_DIR, std::to_string(presses)}, station, "presses.log");
    EXPECT_NE(child, 0);
    return child;
  }

  static int Wait(ChildId child) { return WaitChild(child); }
  static void Kill(ChildId child) { KillChild(child); }

  // Waits until `station`'s log holds `text` at least `times` times; false after a minute.
  static bool AwaitLog(const std::string& station, const std::string& text, size_t times) {
    for (int waited = 0; waited < 6000; ++waited) {
      if (Occurrences(Slurp(station + "/presses.log"), text) >= times) return true;
      platform::SleepMs(10);
    }
    return false;
  }

  static std::vector<uint32_t> Accepted(const std::string& station) {
    return station::AcceptedLaps(station + "/station/trace.log");
  }

  fakes::TempWorkingDirectory folder;
  vendor::Libraries libs;
  std::string database, url;
  std::unique_ptr<ledger::server::PgSession> session;
};

}  // namespace pgtest
