// Several station programs on one range of the test cluster: the press-loop
// program pressing SetAddr on both devices against the simulated station, in
// parallel, killed, and with the server going away under them.
#include <map>
#include <memory>
#include <random>
#include <thread>

#include "tests/server/server_fixture.h"
#include "tests/server/station_runs.h"

namespace {

using pgtest::ServerTest;

// Presses per station in the run of four; fewer under Wine, where each costs more.
constexpr uint32_t kPresses = STATION_PRESSES;
constexpr uint32_t kAll = 4 * 2 * kPresses;  // four stations, two modules a press
constexpr const char* kUnreachable = "无法连接地址服务器";
constexpr const char* kUnreachableRest = "! 地址未写入, 请检查网络和服务器后再按SetAddr. ";

using ServerLedgerStations = ServerTest;
using namespace pgtest::runs;

TEST_F(ServerLedgerStations, FourStationsPressingAtOnceGiveDistinctAddressesWithoutAHole) {
  AddRange(kFirst, kFirst + 0xffff);
  std::vector<std::string> stations;
  std::vector<pgtest::ChildId> pids;
  for (const char* name : {"s1", "s2", "s3", "s4"}) stations.push_back(Station(name));
  for (const std::string& station : stations) pids.push_back(Press(station, kPresses));
  for (pgtest::ChildId pid : pids) EXPECT_EQ(Wait(pid), 0);

  std::map<uint32_t, int> taken = AcceptedByAll(stations);
  ExpectOneModuleEach(taken);
  ASSERT_EQ(taken.size(), kAll);
  // None missing: the range was drawn without a hole, each address written once.
  EXPECT_EQ(taken.begin()->first, kFirst);
  EXPECT_EQ(taken.rbegin()->first, kFirst + kAll - 1);
  std::multiset<uint32_t> marks = Marks("'pending', 'written', 'unknown'");
  EXPECT_EQ(marks.size(), kAll);
  for (const auto& [lap, modules] : taken) EXPECT_EQ(marks.count(lap), 1u) << std::hex << lap;
  EXPECT_EQ(Count("SELECT count(*) FROM operations WHERE state <> 'written'"), 0);
  EXPECT_EQ(Scalar("SELECT next_lap FROM address_ranges"), std::to_string(kFirst + kAll));
  // Each station's count is its own, and its window showed it.
  for (size_t i = 0; i < stations.size(); ++i) {
    const std::string name = "s" + std::to_string(i + 1);
    EXPECT_EQ(Scalar("SELECT total FROM station_counts WHERE station = '" + name + "'"), std::to_string(2 * kPresses));
    EXPECT_EQ(Count("SELECT count(*) FROM operations WHERE state = 'written' AND station = '" + name + "'"), 2 * kPresses);
  }
}

TEST_F(ServerLedgerStations, AStationKilledMidRunAndStartedAgainGivesNoAddressTwice) {
  AddRange(kFirst, kFirst + 0xffff);
  std::vector<std::string> stations;
  for (const char* name : {"s1", "s2", "s3", "s4"}) stations.push_back(Station(name));
  std::vector<pgtest::ChildId> pids;
  for (const std::string& station : stations) pids.push_back(Press(station, 200));
  std::mt19937 random(20261210);
  ASSERT_TRUE(AwaitLog(stations[3], kWritten, 20 + random() % 60));
  Kill(pids[3]);
  pids[3] = Press(stations[3], 100);
  for (pgtest::ChildId pid : pids) EXPECT_EQ(Wait(pid), 0);

  std::map<uint32_t, int> taken = AcceptedByAll(stations);
  ExpectOneModuleEach(taken);
  // What the killed run left pending became unknown when it started again, never given again.
  EXPECT_EQ(Count("SELECT count(*) FROM operations WHERE state = 'pending'"), 0);
  EXPECT_LE(Count("SELECT count(*) FROM operations WHERE state = 'unknown'"), 1);
  std::multiset<uint32_t> written = Marks("'written'"), unknown = Marks("'unknown'");
  for (const auto& [lap, modules] : taken) {
    EXPECT_EQ(written.count(lap) + unknown.count(lap), 1u) << std::hex << lap;
  }
  for (uint32_t lap : written) EXPECT_EQ(taken.count(lap), 1u) << std::hex << lap << " written, in no module";
  // None missing: every address drawn is in a module or recorded unknown.
  const uint32_t next = static_cast<uint32_t>(Count("SELECT next_lap FROM address_ranges"));
  EXPECT_EQ(written.size() + unknown.size(), next - kFirst);
}

TEST_F(ServerLedgerStations, PressesRefuseWhileTheServerIsAwayAndGoOnWhenItIsBack) {
  AddRange(kFirst, kFirst + 0xffff);
  std::vector<std::string> stations = {Station("s1"), Station("s2")};
  std::vector<pgtest::ChildId> pids;
  for (const std::string& station : stations) pids.push_back(Press(station, 0));
  for (const std::string& station : stations) ASSERT_TRUE(AwaitLog(station, kWritten, 20));
  ASSERT_TRUE(pgtest::PgCluster::Get().Stop());
  for (const std::string& station : stations) EXPECT_TRUE(AwaitLog(station, kUnreachable, 5));
  std::vector<size_t> writtenWhileAway;
  for (const std::string& station : stations) {
    writtenWhileAway.push_back(pgtest::Occurrences(pgtest::Slurp(station + "/presses.log"), kWritten));
  }
  ASSERT_TRUE(pgtest::PgCluster::Get().Start());
  for (size_t i = 0; i < stations.size(); ++i) EXPECT_TRUE(AwaitLog(stations[i], kWritten, writtenWhileAway[i] + 20));
  for (const std::string& station : stations) std::ofstream(station + "/stop").flush();
  for (pgtest::ChildId pid : pids) EXPECT_EQ(Wait(pid), 0);

  // One clear message, naming the server, as the operator reads it.
  const std::string message = std::string(kUnreachable) + ledger::server::ParseServerUrl(url).server + kUnreachableRest;
  for (const std::string& station : stations) EXPECT_GE(pgtest::Occurrences(pgtest::Slurp(station + "/presses.log"), message), 5u);
  std::map<uint32_t, int> taken = AcceptedByAll(stations);
  ExpectOneModuleEach(taken);
  // Nothing went into a module without its mark, and every confirmation
  // that could not reach the server arrived afterwards.
  std::multiset<uint32_t> written = Marks("'written'");
  EXPECT_EQ(written.size(), taken.size());
  for (const auto& [lap, modules] : taken) EXPECT_EQ(written.count(lap), 1u) << std::hex << lap;
  EXPECT_EQ(Count("SELECT count(*) FROM operations WHERE state IN ('pending', 'unknown')"), 0);
  // The refused presses are in the record too, kept by the stations until the server was back.
  // (The record holds UTF-8.)
  const char* stored = reinterpret_cast<const char*>(u8"SELECT count(*) FROM operations WHERE result LIKE '无法连接地址服务器%'");
  EXPECT_GE(Count(stored), 5);
}

}  // namespace
