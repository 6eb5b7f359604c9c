// serve_bench: what tarnwick-record serve costs.
// 1. The time to answer the default view (today, every station) over HTTP
//    on generated records of 10 k, 100 k and 1 M rows: five stations making
//    100 k rows a day, so that today holds up to 100 k of them. Each answer
//    is read after a change to the record, so none comes from the cache.
// 2. Auto pressed on the instant simulated station with nobody watching and
//    with 20 clients refreshing the page's data every second, in alternating
//    blocks of one run: the ratio of the mean press times.
//
//   serve_bench [--rows N,N,...] [--presses N] [--block B] [--folder PARENT]
#include <httplib.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/main_dialog.h"
#include "bench/bench_folder.h"
#include "bench/bench_window.h"
#include "tests/support/station_dialog.h"
#include "ledger/embedded/record_db.h"
#include "platform/host_name.h"
#include "platform/sleep.h"
#include "record/serve_http.h"
#include "record/serve_source.h"
#include "record/serve_time.h"
#include "res/resource_ids.h"

namespace {

constexpr int kStations = 5;
constexpr int64_t kRowsPerDay = 100000;
constexpr int kClients = 20;
constexpr int kAnswers = 7;

int Fail(const std::string& what) {
  std::fprintf(stderr, "serve_bench: %s\n", what.c_str());
  return 1;
}

// `rows` rows ending now: burns and address writes of five stations, a few of each failing.
bool Generate(const std::string& path, int64_t rows) {
  sqlite3* db = ledger::OpenRecord(path, true);
  if (db == nullptr) return false;
  ledger::Execute(db, "PRAGMA synchronous=OFF");
  ledger::Execute(db, "BEGIN");
  ledger::Statement insert(db,
                           "INSERT INTO operations (time, station, transport, slot, operation, result, nap, uap, lap, "
                           "state, duration_ms) VALUES (?1, ?2, 'SPITRANS=USB SPIPORT=0', ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
  const int64_t now = *record::ParseLocalTime(platform::LocalTimeText());
  const int64_t first = now - rows * 86400 / kRowsPerDay;
  for (int64_t i = 0; i < rows; ++i) {
    const std::string station = "line1-pc" + std::to_string(i % kStations + 1);
    const bool burn = i % 2 == 0, failed = i % 37 == 0;
    insert.Bind(1, record::LocalTimeFromSeconds(first + i * 86400 / kRowsPerDay)).Bind(2, station);
    insert.Bind(3, int64_t{1 + i % 2}).Bind(4, burn ? "burn" : "address write");
    if (burn) {
      insert.Bind(5, failed ? "烧录BIN to EEPROM失败" : "烧录BIN to EEPROM成功! ").BindNull(6).BindNull(7).BindNull(8).BindNull(9);
    } else {
      insert.Bind(5, failed ? "写蓝牙地址失败! " : "写蓝牙地址成功! ").Bind(6, int64_t{2}).Bind(7, int64_t{0x5b});
      insert.Bind(8, int64_t{0x100000} + i / 2).Bind(9, failed ? "failed" : "written");
    }
    insert.Bind(10, int64_t{800 + i % 400});
    if (insert.Step() != SQLITE_DONE) return false;
    insert.Reset();
  }
  ledger::Execute(db, "COMMIT");
  sqlite3_close(db);
  return true;
}

// One more row through a connection of its own, as a station writes it.
void Touch(const std::string& path) {
  sqlite3* db = ledger::OpenRecord(path, false);
  ledger::Execute(db, "INSERT INTO operations (time, station, transport, slot, operation) "
                      "VALUES (datetime('now', 'localtime'), 'touch', 'x', 1, 'burn')");
  sqlite3_close(db);
}

struct Served {
  record::FileRecordSource source;
  record::DashboardServer server{source};
  int port = -1;
  std::thread thread;
  explicit Served(const std::string& path) : source(path) {
    port = server.Bind("127.0.0.1", 0);
    thread = std::thread([this] { server.Serve(); });
  }
  ~Served() {
    server.Stop();
    thread.join();
  }
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

int AnswerTimes(const std::string& parent, const std::vector<int64_t>& sizes) {
  std::printf("default view (today, all stations) over HTTP, uncached, median of %d:\n", kAnswers);
  for (int64_t rows : sizes) {
    const std::string folder = parent + "/serve_bench_" + std::to_string(getpid()) + "_" + std::to_string(rows);
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/production.db";
    if (!Generate(path, rows)) return Fail("cannot generate " + path);
    {
      Served served(path);
      httplib::Client client("127.0.0.1", served.port);
      client.set_read_timeout(60, 0);
      std::vector<double> times, cpu;
      size_t bytes = 0;
      for (int i = 0; i < kAnswers; ++i) {
        Touch(path);
        const int64_t started = platform::SteadyMs();
        const std::clock_t cpuStarted = std::clock();
        httplib::Result answer = client.Get("/api/view");
        if (!answer || answer->status != 200) return Fail("no answer at " + std::to_string(rows) + " rows");
        times.push_back(static_cast<double>(platform::SteadyMs() - started));
        // The process's CPU time: the server and its one client, whatever else the machine runs.
        cpu.push_back(1000.0 * static_cast<double>(std::clock() - cpuStarted) / CLOCKS_PER_SEC);
        bytes = answer->body.size();
      }
      std::printf("  %8lld rows: %6.0f ms median, %6.0f ms max, %6.0f ms CPU median (%zu bytes)\n",
                  static_cast<long long>(rows), Median(times), *std::max_element(times.begin(), times.end()),
                  Median(cpu), bytes);
      std::fflush(stdout);
    }
    std::filesystem::remove_all(folder);
  }
  return 0;
}

int PressTimes(const std::string& parent, long presses, long block) {
  vendor::Libraries libs;
  std::string error;
  if (!vendor::LoadLibraries(SIM_LIBRARY_DIR, &libs, &error)) return Fail(error);
  bench::BenchFolder folder;
  if (!bench::MakeBenchFolder(parent, std::string(SIM_SAMPLES_DIR) + "/sample_eeprom.bin", &folder, &error) ||
      !bench::EnterStation(folder.program, libs, &error)) {
    return Fail(error);
  }
  fakes::StationDialog<bench::BenchWindow> station(libs);
  station.ChooseEeprom(folder.firmware);
  app::MainDialog& dialog = station.dialog;
  dialog.OnCommand(res::IDC_AUTO);  // the record made

  Served served(folder.program + "/production.db");
  std::atomic<bool> watching{false}, ending{false};
  std::atomic<long> answers{0};
  std::vector<std::thread> clients;
  for (int i = 0; i < kClients; ++i) {
    clients.emplace_back([&] {
      httplib::Client client("127.0.0.1", served.port);
      while (!ending) {
        if (watching && client.Get("/api/view")) ++answers;
        platform::SleepMs(1000);
      }
    });
  }
  double sum[2] = {}, count[2] = {};
  for (long pressed = 0; pressed < presses; ++pressed) {
    const int watched = pressed / block % 2;
    watching = watched == 1;
    const int64_t started = platform::SteadyMs();
    dialog.OnCommand(res::IDC_AUTO);
    sum[watched] += static_cast<double>(platform::SteadyMs() - started);
    ++count[watched];
  }
  ending = true;
  for (std::thread& client : clients) client.join();
  bench::RemoveBenchFolder(folder);
  const double alone = sum[0] / count[0], watched = sum[1] / count[1];
  std::printf("Auto on the instant simulated station, %ld presses in blocks of %ld:\n", presses, block);
  std::printf("  nobody watching: %.2f ms per press\n  %d clients refreshing every second: %.2f ms per press (%ld answers)\n",
              alone, kClients, watched, answers.load());
  std::printf("  ratio watched / alone: %.3f\n", watched / alone);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int64_t> sizes = {10000, 100000, 1000000};
  long presses = 400, block = 20;
  std::string parent = "/var/tmp";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--rows" && i + 1 < argc) {
      sizes.clear();
      std::istringstream list(argv[++i]);
      for (std::string size; std::getline(list, size, ',');) sizes.push_back(std::stoll(size));
    } else if (arg == "--presses" && i + 1 < argc) {
      presses = std::strtol(argv[++i], nullptr, 10);
    } else if (arg == "--block" && i + 1 < argc) {
      block = std::strtol(argv[++i], nullptr, 10);
    } else if (arg == "--folder" && i + 1 < argc) {
      parent = argv[++i];
    } else {
      std::fprintf(stderr, "usage: serve_bench [--rows N,N,...] [--presses N] [--block B] [--folder PARENT]\n");
      return 2;
    }
  }
  if (presses < 2 * block || block < 1) return Fail("--presses must be at least twice --block");
  const int status = AnswerTimes(parent, sizes);
  return status != 0 ? status : PressTimes(parent, presses, block);
}
