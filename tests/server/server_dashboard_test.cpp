// tarnwick-record serve in a folder whose btconfig.ini names the server: the
// rows of every station, and each range set up there.
#include <httplib.h>

#include "tests/dashboard/serve_child.h"
#include "tests/server/server_fixture.h"

namespace {

using pgtest::ServerTest;

class ServerDashboard : public ServerTest {};

TEST_F(ServerDashboard, ShowsEveryStationAndEachRange) {
  AddRange(0x100000, 0x10ffff);
  ASSERT_EQ(ledger::server::AddRange(*session, 2, 0x5c, 0x200000, 0x20000f).outcome, ledger::server::RangeAdded::Added);
  const std::string one = Station("pc-one"), two = Station("pc-two");
  ASSERT_EQ(Wait(Press(one, 2)), 0);
  ASSERT_EQ(Wait(Press(two, 1)), 0);
  platform::WriteProfileString("ledger", "url", url, "btconfig.ini");
  dashboard::Serve serve;
  httplib::Client client("127.0.0.1", serve.port());
  client.set_read_timeout(20, 0);
  httplib::Result answer = client.Get("/api/view");
  ASSERT_TRUE(answer);
  ASSERT_EQ(answer->status, 200) << answer->body;
  const std::string& json = answer->body;
  // Both devices of each press: 6 addresses drawn from the first range, none from the second.
  for (const std::string part :
       {R"("source":{"kind":"server",)", R"("stations":["pc-one","pc-two"],"totals":{"addressed":6,)",
        R"({"nap":"0002","uap":"5b","firstLap":"100000","lastLap":"10ffff","nextLap":"100006","used":6,"left":65530,"lastHour":6,)",
        R"({"nap":"0002","uap":"5c","firstLap":"200000","lastLap":"20000f","nextLap":"200000","used":0,"left":16,"lastHour":0,"runsOutAt":null})"}) {
    EXPECT_NE(json.find(part), std::string::npos) << part << "\nin " << json;
  }
  EXPECT_EQ(serve.Stop(), 0);
}

TEST_F(ServerDashboard, AServerThatCannotBeReadIsSaid) {
  platform::WriteProfileString("ledger", "url", "postgresql://station@127.0.0.1:1/none", "btconfig.ini");
  dashboard::Serve serve;
  httplib::Client client("127.0.0.1", serve.port());
  client.set_read_timeout(20, 0);
  httplib::Result answer = client.Get("/api/view");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 503);
  EXPECT_NE(answer->body.find(R"({"error":"cannot reach the ledger's server: )"), std::string::npos) << answer->body;
}

}  // namespace
