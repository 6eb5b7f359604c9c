// A station's network cut in the middle of its draw, by a TCP proxy of the
// test's own between it and the cluster: only that station stops, and each of
// its presses ends within the bound. (Here only: the proxy is POSIX sockets.)
#include <memory>
#include <thread>

#include "tests/server/server_fixture.h"
#include "tests/server/station_runs.h"
#include "tests/server/tcp_proxy.h"

namespace {

using namespace pgtest::runs;
using ServerLedgerStations = pgtest::ServerTest;
using ledger::server::MonotonicMs;

constexpr const char* kStatementTimedOut = "超过8秒没有回答";
constexpr const char* kConnectTimedOut = "超时(4秒)";

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
  std::vector<pgtest::ChildId> pids;
  for (const std::string& station : stations) pids.push_back(Press(station, 0));
  for (const std::string& station : stations) ASSERT_TRUE(AwaitLog(station, kWritten, 20));

  auto rates = [&](double seconds) {
    std::vector<size_t> before;
    for (size_t i = 1; i < stations.size(); ++i) before.push_back(WrittenSoFar(stations[i]));
    platform::SleepMs(static_cast<unsigned>(seconds * 1000));
    std::vector<double> perSecond;
    for (size_t i = 1; i < stations.size(); ++i) perSecond.push_back((WrittenSoFar(stations[i]) - before[i - 1]) / seconds);
    return perSecond;
  };
  const std::vector<double> before = rates(4);

  // Station 1's network stops right after its request for the draw lock
  // went out: the server takes the lock for it, and no answer comes back.
  proxies[0]->CutAfterClientSends("pg_advisory_xact_lock");
  for (int waited = 0; !proxies[0]->cut() && waited < 1000; ++waited) platform::SleepMs(10);
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
    platform::SleepMs(20);
  }
  measure.join();
  longest = std::max(longest, MonotonicMs() - lastEnd);
  EXPECT_LE(longest, 11000) << "a press of the cut station waited longer than the bound";
  // The press in flight at the cut may have written device 1 before device
  // 2's draw was cut; its log comes out when that press ends. Nothing after it.
  EXPECT_LE(WrittenSoFar(stations[0]), writtenAtCut + 1);
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
  for (pgtest::ChildId pid : pids) EXPECT_EQ(Wait(pid), 0);

  std::map<uint32_t, int> taken = AcceptedByAll(stations);
  ExpectOneModuleEach(taken);
  std::multiset<uint32_t> written = Marks("'written'"), unknown = Marks("'unknown'");
  for (const auto& [lap, modules] : taken) {
    EXPECT_EQ(written.count(lap) + unknown.count(lap), 1u) << std::hex << lap << " in a module, not marked";
  }
}

}  // namespace
