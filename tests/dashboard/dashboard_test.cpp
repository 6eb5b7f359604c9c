// tarnwick-record serve against a record that the station program wrote on
// the simulated station, with faults that fail burns and refuse addresses.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sqlite3.h>
#include <sys/socket.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "platform/profile_file.h"
#include "record/serve_command.h"
#include "record/serve_json.h"
#include "tests/dashboard/serve_child.h"
#include "tests/support/temp_directory.h"
#include "vendor/library_loader.h"

namespace {

using dashboard::Serve;
using dashboard::Slurp;

// As much markup as the name field's 12 characters take.
constexpr const char* kMarkupName = "<img src=x>";

// The station's folder: the counter at 0002:5b:100000, the simulated station
// timed instant, device 2's module (bc7) failing its EEPROM burns after the
// first and refusing addresses after the second.
class StationRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Write("btconfig.ini", "[SUM]\r\ntotal=0\r\n[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=100000\r\n");
    vendor::Libraries libs;
    std::string error;
    ASSERT_TRUE(vendor::LoadLibraries(SIM_LIBRARY_DIR, &libs, &error)) << error;
    uint16_t length = 0, count = 0;
    libs.engine->teGetAvailableSpiPorts(&length, nullptr, nullptr, &count);  // lays out the default station
    ASSERT_TRUE(platform::WriteProfileString("station", "timing", "instant", "station/station.ini"));
    ASSERT_TRUE(platform::WriteProfileString("faults", "te2Program", "bc7 after 1", "station/station.ini"));
    ASSERT_TRUE(platform::WriteProfileString("faults", "psWriteBdAddr", "bc7 after 2", "station/station.ini"));
  }

  // The station program pressing Auto `presses` times; each press's milliseconds.
  std::vector<int64_t> Press(int presses, const std::string& name = "") {
    std::vector<std::string> args = {AUTO_PRESS_LOOP, SIM_LIBRARY_DIR, SIM_SAMPLES_DIR "/sample_eeprom.bin",
                                     std::to_string(presses)};
    if (!name.empty()) args.push_back(name);
    EXPECT_EQ(dashboard::Wait(dashboard::Start(args, "presses.out"), 120000), 0) << Slurp("presses.out.err");
    std::vector<int64_t> times;
    std::istringstream lines(Slurp("presses.out"));
    for (int64_t ms; lines >> ms;) times.push_back(ms);
    return times;
  }

  fakes::TempWorkingDirectory folder;
};

httplib::Result Get(int port, const std::string& path) {
  httplib::Client client("127.0.0.1", port);
  client.set_read_timeout(20, 0);
  return client.Get(path.c_str());
}

std::string View(int port, const std::string& query = "") {
  httplib::Result answer = Get(port, "/api/view" + query);
  EXPECT_TRUE(answer);
  if (!answer) return "";
  EXPECT_EQ(answer->status, 200) << answer->body;
  return answer->body;
}

// What a part of the JSON holds, as the writer spells it.
void Holds(const std::string& json, const std::string& part) {
  EXPECT_NE(json.find(part), std::string::npos) << part << "\nin " << json;
}

TEST_F(StationRecord, FiguresMatchWhatTheStationDid) {
  ASSERT_EQ(Press(4).size(), 4u);
  Serve serve;
  const std::string json = View(serve.port());
  // Device 1 (bc5): 4 burns passed, 4 addresses. Device 2 (bc7): 1 burn
  // passed and 3 failed, 2 addresses written and 2 refused by the module.
  Holds(json, R"("totals":{"addressed":6,"burnsPassed":5,"burnsFailed":3,"yield":0.6250})");
  // The Pareto: each failure text once, largest first.
  const size_t burns = json.find(R"("operation":"burn","result":")"), refused = json.find(R"("operation":"address write",)");
  Holds(json, R"(","count":3},{"operation":"address write","result":")");
  EXPECT_LT(burns, refused);
  Holds(json, R"(","count":2}])");
  // Six addresses written and two refused modules that took none: the counter is 6 further on.
  Holds(json, R"("ranges":[{"nap":"0002","uap":"5b","firstLap":null,"lastLap":"ffffff","nextLap":"100006","used":)");
  Holds(json, R"("left":)" + std::to_string(0xffffff - 0x100006 + 1 - 0x40) + R"(,"lastHour":)");
  Holds(json, R"("check":{"duplicates":[],"unknown":[]})");
  // All in this hour of this station, whose name the record holds.
  Holds(json, R"(,"addressed":6,"burnsPassed":5,"burnsFailed":3,"yield":0.6250}])");
  // The latest rows, newest first: 4 presses × (2 burns + 2 address writes).
  Holds(json, R"("latest":[{"id":16,)");
  EXPECT_EQ(serve.Stop(), 0);
}

TEST_F(StationRecord, CheckFindingsAndTheWindowAndStationChosen) {
  ASSERT_EQ(Press(1).size(), 1u);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open("production.db", &db), SQLITE_OK);
  // A second module with the first address (a copied record), an unknown
  // outcome, and yesterday's row of another station.
  for (const char* sql : {"DROP INDEX one_module_per_address",
                          "INSERT INTO operations (time, station, transport, slot, operation, result, nap, uap, lap, state) "
                          "SELECT time, 'other-pc', transport, slot, operation, result, nap, uap, lap, 'written' FROM "
                          "operations WHERE operation = 'address write' AND state = 'written' ORDER BY id LIMIT 1",
                          "INSERT INTO operations (time, station, transport, slot, operation, nap, uap, lap, state) VALUES "
                          "(datetime('now', 'localtime'), 'other-pc', 'x', 1, 'address write', 2, 91, 1, 'unknown')",
                          "INSERT INTO operations (time, station, transport, slot, operation, result, duration_ms) VALUES "
                          "('2020-01-01 23:30:00', 'night-pc', 'x', 1, 'burn', 'flash烧录完成!', 5)"}) {
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql << ": " << sqlite3_errmsg(db);
  }
  sqlite3_close(db);
  Serve serve;
  const std::string json = View(serve.port());
  Holds(json, R"("duplicates":[{"address":"0002:5b:100000","rows":[{"id":)");
  Holds(json, R"("station":"other-pc","slot":1,"operation":"address write","result":"","address":"0002:5b:000001","state":"unknown")");
  // One station's rows only; the others are still offered.
  const std::string station = View(serve.port(), "?station=other-pc");
  Holds(station, R"("totals":{"addressed":1,"burnsPassed":0,"burnsFailed":0,"yield":null})");
  // A night shift runs past midnight.
  const std::string night = View(serve.port(), "?day=2020-01-01&from=20:00&to=08:00");
  Holds(night, R"("from":"2020-01-01 20:00:00","to":"2020-01-02 08:00:00")");
  Holds(night, R"("stations":["night-pc"],"totals":{"addressed":0,"burnsPassed":1,"burnsFailed":0,"yield":1.0000})");
  Holds(night, R"("cycleTimes":[{"operation":"burn","count":1,"minMs":5,)");
}

TEST_F(StationRecord, MarkupTypedByTheOperatorIsOnlyText) {
  ASSERT_EQ(Press(1, kMarkupName).size(), 1u);
  Serve serve;
  const std::string json = View(serve.port());
  Holds(json, R"("name":"\u003cimg src=x\u003e")");
  EXPECT_EQ(json.find('<'), std::string::npos);
}

TEST(DashboardJson, StringsStayValidJsonAndHoldNoMarkup) {
  const struct {
    std::string text, json;
  } kCases[] = {
      {"plain 烧录", "\"plain 烧录\""},
      {"\"\\", R"("\"\\")"},
      {"a\nb\r\t\x01\x7f", R"("a\nb\r\t\u0001\u007f")"},
      {"</script><b>&", R"("\u003c/script\u003e\u003cb\u003e\u0026")"},
      {std::string("\xff\xc3(\xe6\x88", 5), R"("\ufffd\ufffd(\ufffd\ufffd")"},  // not UTF-8
      {std::string("\xed\xa0\x80", 3), R"("\ufffd\ufffd\ufffd")"},              // a surrogate
  };
  for (const auto& c : kCases) EXPECT_EQ(record::JsonString(c.text), c.json) << c.text;
}

TEST(DashboardListen, AddressesTakenAndRefused) {
  const struct {
    const char* text;
    bool taken;
    const char* host;
    int port;
  } kCases[] = {
      {"127.0.0.1:8080", true, "127.0.0.1", 8080}, {"0.0.0.0:80", true, "0.0.0.0", 80},
      {"[::1]:8080", true, "::1", 8080},          {"localhost:0", true, "localhost", 0},
      {"::1:8080", false, "", 0},                 {"127.0.0.1", false, "", 0},
      {":8080", false, "", 0},                    {"127.0.0.1:65536", false, "", 0},
      {"127.0.0.1:80x", false, "", 0},            {"127.0.0.1:", false, "", 0},
      {"[]:8080", false, "", 0},
  };
  for (const auto& c : kCases) {
    std::string host;
    int port = -1;
    EXPECT_EQ(record::ParseListen(c.text, &host, &port), c.taken) << c.text;
    if (c.taken) {
      EXPECT_EQ(host + ":" + std::to_string(port), std::string(c.host) + ":" + std::to_string(c.port));
    }
  }
}

// The status line of the answer to `request` sent as raw bytes.
std::string Answer(int port, const std::string& request) {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  timeval limit{10, 0};
  setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return "no connection";
  send(socket, request.data(), request.size(), MSG_NOSIGNAL);
  std::string answer;
  char buffer[4096];
  for (ssize_t got; (got = recv(socket, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, static_cast<size_t>(got));
  close(socket);
  return answer.substr(0, answer.find("\r\n"));
}

TEST_F(StationRecord, BadRequestsAreRefusedAndChangeNothing) {
  Press(1);
  Serve serve;
  const struct {
    std::string request;
    const char* status;
  } kCases[] = {
      {"GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", "HTTP/1.1 200 OK"},
      {"GET /production.db HTTP/1.1\r\nConnection: close\r\n\r\n", "HTTP/1.1 404 Not Found"},
      {"GET /../btconfig.ini HTTP/1.1\r\nConnection: close\r\n\r\n", "HTTP/1.1 404 Not Found"},
      {"GET /api/nothing HTTP/1.1\r\nConnection: close\r\n\r\n", "HTTP/1.1 404 Not Found"},
      {"POST /api/view HTTP/1.1\r\nContent-Length: 0\r\nConnection: close\r\n\r\n", "HTTP/1.1 405 Method Not Allowed"},
      {"DELETE / HTTP/1.1\r\nConnection: close\r\n\r\n", "HTTP/1.1 405 Method Not Allowed"},
      {"GET /api/view?day=2026-02-30 HTTP/1.1\r\nConnection: close\r\n\r\n", "HTTP/1.1 400 Bad Request"},
      {"GET /api/view?from=25:00 HTTP/1.1\r\nConnection: close\r\n\r\n", "HTTP/1.1 400 Bad Request"},
      {"GET /api/view?station=a&station=b HTTP/1.1\r\nConnection: close\r\n\r\n", "HTTP/1.1 400 Bad Request"},
      {"GET /api/view?drop=table HTTP/1.1\r\nConnection: close\r\n\r\n", "HTTP/1.1 400 Bad Request"},
      {"GET /api/view?station='%20OR%201=1-- HTTP/1.1\r\nConnection: close\r\n\r\n", "HTTP/1.1 200 OK"},
      {"GARBAGE\r\n\r\n", "HTTP/1.1 400 Bad Request"},
      {"GET / HTTP/9.9\r\n\r\n", "HTTP/1.1 400 Bad Request"},
      {"BREW /pot HTTP/1.1\r\n\r\n", "HTTP/1.1 400 Bad Request"},
      {("GET /" + std::string(10000, 'a') + " HTTP/1.1\r\n\r\n").c_str(), "HTTP/1.1 414 URI Too Long"},
  };
  for (const auto& c : kCases) EXPECT_EQ(Answer(serve.port(), c.request), c.status) << c.request;
  // A station name with SQL in it is a name like any other: no station has it.
  Holds(View(serve.port(), "?station=%27%20OR%201%3D1--"), R"("totals":{"addressed":0,)");
}

TEST_F(StationRecord, AnUnreadableRecordIsSaidAndTheNextViewReadsItAgain) {
  Serve serve;  // no production.db yet
  httplib::Result answer = Get(serve.port(), "/api/view");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 503);
  Holds(answer->body, R"({"error":"cannot open the production record ./production.db: )");
  Press(1);
  Holds(View(serve.port()), R"("addressed":2,)");
}

TEST_F(StationRecord, SlowClientsHoldUpNoOther) {
  Press(1);
  Serve serve;
  // More stalled connections than the server has workers: half a request each, then nothing.
  std::vector<int> stalled;
  for (int i = 0; i < 40; ++i) {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(serve.port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    send(socket, "GET /api/vi", 11, MSG_NOSIGNAL);
    stalled.push_back(socket);
  }
  const int64_t started = platform::SteadyMs();
  Holds(View(serve.port()), R"("addressed":2,)");
  // The read time limit (3 s) frees the workers the stalled ones hold.
  EXPECT_LT(platform::SteadyMs() - started, 12000);
  for (int socket : stalled) close(socket);
}

TEST_F(StationRecord, ReadersWhileTheStationPressesRefuseAndSlowNoPress) {
  Press(1);
  Serve serve;
  std::atomic<bool> pressing{true};
  std::atomic<int> views{0}, failed{0};
  std::vector<std::thread> readers;
  for (int i = 0; i < 20; ++i) {
    readers.emplace_back([&] {
      while (pressing) {
        httplib::Result answer = Get(serve.port(), "/api/view");
        answer && answer->status == 200 ? ++views : ++failed;
        platform::SleepMs(100);
      }
    });
  }
  const std::vector<int64_t> times = Press(30);
  pressing = false;
  for (std::thread& reader : readers) reader.join();
  ASSERT_EQ(times.size(), 30u);
  EXPECT_GT(views, 20);
  EXPECT_EQ(failed, 0);
  // Every press of device 1 wrote its address: none was refused for a lock
  // the dashboard held, and none waited out SQLite's busy time of 5 s.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open("production.db", &db), SQLITE_OK);
  sqlite3_stmt* rows = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT COUNT(*), MAX(duration_ms) FROM operations WHERE operation = 'address write' "
                     "AND slot = 1 AND state = 'written'",
                     -1, &rows, nullptr);
  ASSERT_EQ(sqlite3_step(rows), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(rows, 0), 31);
  EXPECT_LT(sqlite3_column_int(rows, 1), 5000);
  sqlite3_finalize(rows);
  sqlite3_close(db);
  for (int64_t ms : times) EXPECT_LT(ms, 5000);
}

TEST_F(StationRecord, PageInChromiumDrawsTheChartsAndShowsTheJsonsFigures) {
  ASSERT_EQ(Press(3).size(), 3u);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open("production.db", &db), SQLITE_OK);
  // A station named with markup (btconfig.ini's [ledger] station is typed by
  // hand), whose program died while writing an address.
  ASSERT_EQ(sqlite3_exec(db,
                         "INSERT INTO operations (time, station, transport, slot, operation, nap, uap, lap, state) "
                         "VALUES (datetime('now', 'localtime'), '<img src=x onerror=alert(1)>', 'x', 1, "
                         "'address write', 2, 91, 1, 'unknown')",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  Serve serve;
  const char* screenshot = std::getenv("TARNWICK_DASHBOARD_SCREENSHOT");
  const int status = dashboard::Wait(
      dashboard::Start({NODE, PAGE_CHECK, "http://127.0.0.1:" + std::to_string(serve.port()) + "/", NODE_MODULES,
                        screenshot != nullptr ? screenshot : "-", AUTO_PRESS_LOOP, SIM_LIBRARY_DIR,
                        SIM_SAMPLES_DIR "/sample_eeprom.bin", "1"},
                       "page.out"),
      120000);
  EXPECT_EQ(status, 0) << Slurp("page.out") << Slurp("page.out.err");
}

}  // namespace
