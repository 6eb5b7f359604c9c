// auto_bench: what the program costs per module beyond the chip libraries.
// Auto (EEPROM, devices 1 and 2) is pressed N times on the instant simulated
// station in a working folder on disk. The floor makes the same library calls
// directly; its blocks alternate with the program's, so that both meet the
// same disk and the same neighbours on the machine. The program's libraries
// are also clocked call by call, which splits each of its presses into the
// libraries' share and its own without a difference of two noisy loops.
//
//   auto_bench [--presses N] [--block B] [--folder PARENT] [--keep]
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "app/main_dialog.h"
#include "bench/bench_folder.h"
#include "bench/bench_window.h"
#include "tests/support/station_dialog.h"
#include "bench/floor_loop.h"
#include "bench/measurement.h"
#include "bench/process_counters.h"
#include "bench/report.h"
#include "bench/timed_libraries.h"
#include "platform/gbk.h"
#include "platform/profile_file.h"
#include "res/resource_ids.h"

namespace {

constexpr uint32_t kFirstLap = 0x00a1ff;

struct Options {
  long presses = 10000;
  long block = 100;
  std::string parent = "/var/tmp";
  bool keep = false;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg == "--presses" && hasValue) {
      options->presses = std::strtol(argv[++i], nullptr, 10);
    } else if (arg == "--block" && hasValue) {
      options->block = std::strtol(argv[++i], nullptr, 10);
    } else if (arg == "--folder" && hasValue) {
      options->parent = argv[++i];
    } else if (arg == "--keep") {
      options->keep = true;
    } else {
      return false;
    }
  }
  return options->presses > 0 && options->block > 0;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int64_t Count(sqlite3* db, const char* sql) {
  sqlite3_stmt* statement = nullptr;
  int64_t count = -1;
  if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW) {
    count = sqlite3_column_int64(statement, 0);
  }
  sqlite3_finalize(statement);
  return count;
}

// The program's pass left what it should: every module addressed and counted, once.
bool Verify(const bench::BenchFolder& folder, long addresses) {
  std::string total = platform::ReadProfileString("SUM", "total", 64, folder.program + "/btconfig.ini");
  sqlite3* db = nullptr;
  int64_t written = -1, others = -1;
  if (sqlite3_open_v2((folder.program + "/production.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    written = Count(db, "SELECT COUNT(*) FROM operations WHERE operation = 'address write' AND state = 'written'");
    others = Count(db, "SELECT COUNT(*) FROM operations WHERE state IN ('pending', 'unknown', 'failed')");
  }
  sqlite3_close(db);
  bool ok = total == std::to_string(addresses) && written == addresses && others == 0;
  if (!ok) {
    std::fprintf(stderr,
                 "auto_bench: the program's pass is wrong: total=%s, written rows %lld, others %lld, want %ld\n",
                 total.c_str(), static_cast<long long>(written), static_cast<long long>(others), addresses);
  }
  return ok;
}

int Fail(const std::string& what) {
  std::fprintf(stderr, "auto_bench: %s\n", what.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "usage: auto_bench [--presses N] [--block B] [--folder PARENT] [--keep]\n");
    return 2;
  }
  bench::PreloadFsyncCounter(argv, FSYNC_COUNTER);
  bench::FsyncCounter counter;

  vendor::Libraries libs;
  std::string error;
  if (!vendor::LoadLibraries(SIM_LIBRARY_DIR, &libs, &error)) return Fail(error);
  bench::Findings findings;
  bench::BenchFolder& folder = findings.folder;
  if (!bench::MakeBenchFolder(options.parent, std::string(SIM_SAMPLES_DIR) + "/sample_eeprom.bin", &folder, &error) ||
      !bench::EnterStation(folder.floor, libs, &error) || !bench::EnterStation(folder.program, libs, &error)) {
    return Fail(error);
  }

  // The program, as the operator leaves it for a shift: both devices, EEPROM, the firmware chosen.
  bench::LibraryClock clock(counter);
  bench::TimedTestEngine engine(*libs.engine, clock);
  bench::TimedTestE2 e2(*libs.e2, clock);
  fakes::StationDialog<bench::BenchWindow> station(engine, *libs.flash, e2);
  station.ChooseEeprom(folder.firmware);
  bench::BenchWindow& window = station.window;
  dialog::Transports& transports = station.transports;
  app::MainDialog& dialog = station.dialog;
  bench::FloorLoop floor(libs, transports.Device1Transport, transports.Device2Transport, folder.firmware, kFirstLap);
  const std::string burnFailed = platform::Utf8ToGbk("烧录BIN to EEPROM失败");
  long& addresses = findings.addresses;
  auto autoPress = [&]() {
    dialog.OnCommand(res::IDC_AUTO);
    addresses += 2;
    return window.messageBoxes() == 0 && window.ItemText(res::IDC_BURN_COUNT) == std::to_string(addresses) &&
           window.ItemText(res::IDC_LOG).find(burnFailed) == std::string::npos;
  };
  auto why = [&] { return " (" + platform::GbkToUtf8(window.lastBox()) + ")"; };

  // One press of each with the station's call trace on: the floor must make
  // the program's calls, with the same arguments and results, or it measures nothing.
  if (chdir(folder.floor.c_str()) != 0 || !bench::TraceCalls(true) || !floor.Press() || !bench::TraceCalls(false) ||
      chdir(folder.program.c_str()) != 0 || !bench::TraceCalls(true) || !autoPress() || !bench::TraceCalls(false)) {
    return Fail("the first press failed" + why());
  }
  std::string floorCalls = ReadFile(folder.floor + "/station/trace.log");
  std::string programCalls = ReadFile(folder.program + "/station/trace.log");
  if (floorCalls != programCalls || floorCalls.empty()) {
    return Fail("the floor's calls differ from the program's\n--- floor\n" + floorCalls + "--- program\n" +
                programCalls);
  }

  for (const auto& file : counter.Files()) findings.fsyncFilesBefore[file.path] = file.tally;
  const size_t presses = static_cast<size_t>(options.presses);
  // Nothing of the bench's own grows while it measures: the samples' pages
  // are made resident now, so that RSS shows the program alone.
  for (bench::Series* series : {&findings.floor, &findings.program}) {
    series->samples.resize(presses);
    series->samples.clear();
  }
  const std::vector<size_t> tenthEnds = bench::TenthEnds(presses);
  findings.program.rssKb.reserve(tenthEnds.size() + 1);
  findings.program.sqliteKb.reserve(tenthEnds.size() + 1);
  size_t nextTenth = 0;
  for (size_t done = 0; done < presses;) {
    size_t block = std::min(static_cast<size_t>(options.block), presses - done);
    bool ok = chdir(folder.floor.c_str()) == 0;
    for (size_t i = 0; ok && i < block; ++i) {
      ok = bench::Measure([&] { return floor.Press(); }, counter, nullptr, &findings.floor);
    }
    ok = ok && chdir(folder.program.c_str()) == 0;
    for (size_t i = 0; ok && i < block; ++i) {
      ok = bench::Measure(autoPress, counter, &clock, &findings.program);
      size_t pressed = findings.program.samples.size();
      bool tenthEnd = nextTenth < tenthEnds.size() && pressed == tenthEnds[nextTenth];
      for (int sample = (pressed == 1) + tenthEnd; sample > 0; --sample) {
        findings.program.rssKb.push_back(bench::ResidentKb());
        findings.program.sqliteKb.push_back(sqlite3_memory_used() / 1024);
      }
      if (tenthEnd) ++nextTenth;
    }
    if (!ok) return Fail("press " + std::to_string(done + 1) + " failed" + why());
    done += block;
  }
  if (!Verify(folder, addresses)) return 1;

  findings.presses = options.presses;
  findings.block = options.block;
  findings.counter = &counter;
  bench::PrintFindings(findings);

  if (chdir(options.parent.c_str()) != 0) return 1;
  if (options.keep) {
    std::printf("kept %s\n", folder.root.c_str());
  } else {
    bench::RemoveBenchFolder(folder);
  }
  return 0;
}
