// Several station programs on one range of the test cluster: the press-loop
// program pressing SetAddr on both devices against the simulated station, in
// parallel, killed, and with the server going away under them.
#include <map>
#include <memory>
#include <random>
#include <thread>

#include "tests/server/server_fixture.h"
#include "tests/server/tcp_proxy.h"

namespace {

using pgtest::ServerTest;

constexpr uint32_t kFirst = 0x100000;
constexpr const char* kWritten = "写蓝牙地址成功! ";
constexpr const char* kUnreachable = "无法连接地址服务器";
constexpr const char* kUnreachableRest = "! 地址未写入, 请检查网络和服务器后再按SetAddr. ";

constexpr const char* kStatementTimedOut = "超过8秒没有回答";
constexpr const char* kConnectTimedOut = "超时(4秒)";

using ServerLedgerStations = ServerTest;
using ledger::server::MonotonicMs;

size_t WrittenSoFar(const std::string& station) {
  return pgtest::Occurrences(pgtest::Slurp(station + "/presses.log"), kWritten);
}
size_t PressesSoFar(const std::string& station) { return pgtest::Occurrences(pgtest::Slurp(station + "/presses.log"), "\n"); }

// Every LAP the modules of `stations` accepted, with how many modules took it.
std::map<uint32_t, int> AcceptedByAll(const std::vector<std::string>& stations) {
  std::map<uint32_t, int> taken;
  for (const std::string& station : stations) {
    for (uint32_t lap : station::AcceptedLaps(station + "/station/trace.log")) ++taken[lap];
  }
  return taken;
}

void ExpectOneModuleEach(const std::map<uint32_t, int>& taken) {
  for (const auto& [lap, modules] : taken) EXPECT_EQ(modules, 1) << std::hex << lap << " went into several modules";
}

TEST_F(ServerLedgerStations, FourStationsPressingAtOnceGiveFourThousandDistinctAddresses) {
  AddRange(kFirst, kFirst + 0xffff);
  std::vector<std::string> stations;
  std::vector<pid_t> pids;
  for (const char* name : {"s1", "s2", "s3", "s4"}) stations.push_back(Station(name));
  for (const std::string& station : stations) pids.push_back(Press(station, 500));
  for (pid_t pid : pids) EXPECT_EQ(Wait(pid), 0);

  std::map<uint32_t, int> taken = AcceptedByAll(stations);
  ExpectOneModuleEach(taken);
  ASSERT_EQ(taken.size(), 4000u);
  // None missing: the range was drawn without a hole, each address written once.
  EXPECT_EQ(taken.begin()->first, kFirst);
  EXPECT_EQ(taken.rbegin()->first, kFirst + 3999);
  std::multiset<uint32_t> marks = Marks("'pending', 'written', 'unknown'");
  EXPECT_EQ(marks.size(), 4000u);
  for (const auto& [lap, modules] : taken) EXPECT_EQ(marks.count(lap), 1u) << std::hex << lap;
  EXPECT_EQ(Count("SELECT count(*) FROM operations WHERE state <> 'written'"), 0);
  EXPECT_EQ(Scalar("SELECT next_lap FROM address_ranges"), std::to_string(kFirst + 4000));
  // Each station's count is its own, and its window showed it.
  for (size_t i = 0; i < stations.size(); ++i) {
    const std::string name = "s" + std::to_string(i + 1);
    EXPECT_EQ(Scalar("SELECT total FROM station_counts WHERE station = '" + name + "'"), "1000");
    EXPECT_EQ(Count("SELECT count(*) FROM operations WHERE state = 'written' AND station = '" + name + "'"), 1000);
  }
}

TEST_F(ServerLedgerStations, AStationKilledMidRunAndStartedAgainGivesNoAddressTwice) {
  AddRange(kFirst, kFirst + 0xffff);
  std::vector<std::string> stations;
  for (const char* name : {"s1", "s2", "s3", "s4"}) stations.push_back(Station(name));
  std::vector<pid_t> pids;
  for (const std::string& station : stations) pids.push_back(Press(station, 200));
  std::mt19937 random(20261210);
  ASSERT_TRUE(AwaitLog(stations[3], kWritten, 20 + random() % 60));
  Kill(pids[3]);
  pids[3] = Press(stations[3], 100);
  for (pid_t pid : pids) EXPECT_EQ(Wait(pid), 0);

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
  std::vector<pid_t> pids;
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
  for (pid_t pid : pids) EXPECT_EQ(Wait(pid), 0);

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

TEST_F(ServerLedgerStations, ACableCutMidDrawStopsOnlyItsOwnStationAndForNoLongerThanTheBound) {
  AddRange(kFirst, kFirst + 0xffff);
  std::vector<std::string> stations;
  std::vector<std::unique_ptr<pgtest::TcpProxy>> proxies;
  for (const char* name : {"s1", "s2", "s3"}) {
    stations.push_back(Station(name));
    proxies.push_back(std::make_unique<pgtest::TcpProxy>(pgtest::PgCluster::Get().Port()));
    ASSERT_NE(proxies.back()->port(), 0);
    platform::WriteProfileString("ledger", "url", pgtest::PgCluster::Get().TcpUrl(database, proxies.back()->port()),
                                 stations.back() + "/btconfig.ini");
  }
  std::vector<pid_t> pids;
  for (const std::string& station : stations) pids.push_back(Press(station, 0));
  for (const std::string& station : stations) ASSERT_TRUE(AwaitLog(station, kWritten, 20));

  auto rates = [&](double seconds) {
    std::vector<size_t> before;
    for (size_t i = 1; i < stations.size(); ++i) before.push_back(WrittenSoFar(stations[i]));
    usleep(static_cast<useconds_t>(seconds * 1e6));
    std::vector<double> perSecond;
    for (size_t i = 1; i < stations.size(); ++i) perSecond.push_back((WrittenSoFar(stations[i]) - before[i - 1]) / seconds);
    return perSecond;
  };
  const std::vector<double> before = rates(4);

  // Station 1's network stops right after its request for the draw lock
  // went out: the server takes the lock for it, and no answer comes back.
  proxies[0]->CutAfterClientSends("pg_advisory_xact_lock");
  for (int waited = 0; !proxies[0]->cut() && waited < 1000; ++waited) usleep(10000);
  ASSERT_TRUE(proxies[0]->cut());
  const int64_t cutAt = MonotonicMs();
  const size_t acceptedAtCut = Accepted(stations[0]).size();
  const size_t writtenAtCut = WrittenSoFar(stations[0]);
  // Each of its presses ends, refused, within the bound (8 s for the press's
  // part on the server, 2 s for its row), measured from the cut or the last press.
  size_t presses = PressesSoFar(stations[0]);
  int64_t lastEnd = cutAt, longest = 0;
  std::vector<double> during;
  std::thread measure([&] { during = rates(14); });
  while (MonotonicMs() - cutAt < 14000) {
    size_t now = PressesSoFar(stations[0]);
    if (now != presses) {
      longest = std::max(longest, MonotonicMs() - lastEnd);
      lastEnd = MonotonicMs();
      presses = now;
    }
    usleep(20000);
  }
  measure.join();
  longest = std::max(longest, MonotonicMs() - lastEnd);
  EXPECT_LE(longest, 11000) << "a press of the cut station waited longer than the bound";
  EXPECT_EQ(WrittenSoFar(stations[0]), writtenAtCut);
  EXPECT_EQ(Accepted(stations[0]).size(), acceptedAtCut) << "a module was written while the server could not know";
  const std::string log = pgtest::Slurp(stations[0] + "/presses.log");
  const std::string server = "127.0.0.1:" + std::to_string(proxies[0]->port());
  EXPECT_NE(log.find(server + kStatementTimedOut), std::string::npos) << "the draw's wait names neither itself nor the server";
  EXPECT_NE(log.find(server + kConnectTimedOut), std::string::npos) << "the reconnection's wait names neither itself nor the server";
  for (size_t i = 0; i < during.size(); ++i) {
    EXPECT_GE(during[i], before[i] / 3) << "station " << i + 2 << " wrote " << during[i] << "/s while s1 was cut, "
                                        << before[i] << "/s before";
  }

  proxies[0]->Pass();
  EXPECT_TRUE(AwaitLog(stations[0], kWritten, writtenAtCut + 10)) << "the cut station did not write again";
  for (const std::string& station : stations) std::ofstream(station + "/stop").flush();
  for (pid_t pid : pids) EXPECT_EQ(Wait(pid), 0);

  std::map<uint32_t, int> taken = AcceptedByAll(stations);
  ExpectOneModuleEach(taken);
  std::multiset<uint32_t> written = Marks("'written'"), unknown = Marks("'unknown'");
  for (const auto& [lap, modules] : taken) {
    EXPECT_EQ(written.count(lap) + unknown.count(lap), 1u) << std::hex << lap << " in a module, not marked";
  }
}

}  // namespace
