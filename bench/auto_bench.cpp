// auto_bench: what the program costs per module beyond the chip libraries.
// Auto (EEPROM, devices 1 and 2) is pressed N times on the instant simulated
// station in a working folder on disk; the floor makes the same library calls
// directly, in blocks that alternate with the program's so that both see the
// same disk and the same neighbours on the machine.
//
//   auto_bench [--presses N] [--block B] [--folder PARENT] [--keep]
#include <sqlite3.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "bench/bench_folder.h"
#include "bench/bench_window.h"
#include "bench/floor_loop.h"
#include "bench/process_counters.h"
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

// One loop's measurements, press by press.
struct Series {
  std::vector<int64_t> ns;
  std::vector<int64_t> cpuNs;  // this process's CPU, the kernel's work for it included
  int64_t userUs = 0, systemUs = 0;
  std::vector<uint64_t> fsyncs;
  std::vector<uint64_t> fsyncNs;
  int64_t rssFirstKb = 0, rssLastKb = 0;
};

void AddRusage(int64_t* userUs, int64_t* systemUs, int sign) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  *userUs += sign * (static_cast<int64_t>(usage.ru_utime.tv_sec) * 1000000 + usage.ru_utime.tv_usec);
  *systemUs += sign * (static_cast<int64_t>(usage.ru_stime.tv_sec) * 1000000 + usage.ru_stime.tv_usec);
}

int64_t CpuNs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

template <typename Press>
bool Measure(Press press, const bench::FsyncCounter& counter, Series* series, long index, long presses) {
  FsyncTally before = counter.Total();
  AddRusage(&series->userUs, &series->systemUs, -1);
  int64_t cpuStart = CpuNs();
  auto start = std::chrono::steady_clock::now();
  bool ok = press();
  auto end = std::chrono::steady_clock::now();
  int64_t cpuEnd = CpuNs();
  AddRusage(&series->userUs, &series->systemUs, +1);
  FsyncTally after = counter.Total();
  series->ns.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count());
  series->cpuNs.push_back(cpuEnd - cpuStart);
  series->fsyncs.push_back(after.calls - before.calls);
  series->fsyncNs.push_back(after.nanoseconds - before.nanoseconds);
  if (index == 0) series->rssFirstKb = bench::ResidentKb();
  if (index == presses - 1) series->rssLastKb = bench::ResidentKb();
  return ok;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

template <typename T>
double Mean(const std::vector<T>& values, size_t from, size_t to) {
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += static_cast<double>(values[i]);
  return to > from ? sum / static_cast<double>(to - from) : 0;
}

double Median(std::vector<int64_t> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : static_cast<double>(values[values.size() / 2]);
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
  int64_t written = -1, open = -1;
  if (sqlite3_open_v2((folder.program + "/production.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    written = Count(db, "SELECT COUNT(*) FROM operations WHERE operation = 'address write' AND state = 'written'");
    open = Count(db, "SELECT COUNT(*) FROM operations WHERE state IN ('pending', 'unknown', 'failed')");
  }
  sqlite3_close(db);
  bool ok = total == std::to_string(addresses) && written == addresses && open == 0;
  if (!ok) {
    std::fprintf(stderr,
                 "auto_bench: the program's pass is wrong: total=%s, written rows %lld, others %lld, want %ld\n",
                 total.c_str(), static_cast<long long>(written), static_cast<long long>(open), addresses);
  }
  return ok;
}

void PrintFsyncFiles(const std::map<std::string, FsyncTally>& before, const bench::FsyncCounter& counter,
                     const bench::BenchFolder& folder, double modules) {
  std::printf("\nfsyncs by file during the timed presses (per module, mean time per call):\n");
  for (const auto& file : counter.Files()) {
    FsyncTally old = before.count(file.path) ? before.at(file.path) : FsyncTally{};
    uint64_t calls = file.tally.calls - old.calls;
    if (calls == 0) continue;
    std::string shown = file.path;
    if (shown.rfind(folder.root, 0) == 0) shown = "." + shown.substr(folder.root.size());
    std::printf("  %-44s %6.2f   %8.1f us\n", shown.c_str(), static_cast<double>(calls) / modules,
                static_cast<double>(file.tally.nanoseconds - old.nanoseconds) / 1e3 / static_cast<double>(calls));
  }
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
  if (!vendor::LoadLibraries(SIM_LIBRARY_DIR, &libs, &error)) {
    std::fprintf(stderr, "auto_bench: %s\n", error.c_str());
    return 1;
  }
  bench::BenchFolder folder;
  if (!bench::MakeBenchFolder(options.parent, std::string(SIM_SAMPLES_DIR) + "/sample_eeprom.bin", &folder, &error) ||
      !bench::EnterStation(folder.floor, libs, &error) || !bench::EnterStation(folder.program, libs, &error)) {
    std::fprintf(stderr, "auto_bench: %s\n", error.c_str());
    return 1;
  }

  // The program, as the operator leaves it for a shift: both devices, EEPROM, the firmware chosen.
  bench::BenchWindow window;
  app::Transports transports;
  app::MainDialog dialog(window, *libs.engine, *libs.flash, *libs.e2, transports);
  dialog.OnInitDialog();
  dialog.OnPaint();
  window.SetCheck(res::IDC_DEVICE1, app::BST_CHECKED);
  window.SetCheck(res::IDC_DEVICE2, app::BST_CHECKED);
  window.SetCheck(res::IDC_EEPROM, app::BST_CHECKED);
  window.SetItemText(res::IDC_FIRMWARE_PATH, folder.firmware);
  bench::FloorLoop floor(libs, transports.Device1Transport, transports.Device2Transport, folder.firmware, kFirstLap);
  const std::string burnFailed = platform::Utf8ToGbk("烧录BIN to EEPROM失败");
  long addresses = 0;
  auto autoPress = [&]() {
    dialog.OnCommand(res::IDC_AUTO);
    addresses += 2;
    return window.messageBoxes() == 0 && window.ItemText(res::IDC_BURN_COUNT) == std::to_string(addresses) &&
           window.ItemText(res::IDC_LOG).find(burnFailed) == std::string::npos;
  };

  // One press of each with the station's call trace on: the floor must make
  // the program's calls, with the same arguments and results, or it measures nothing.
  if (chdir(folder.floor.c_str()) != 0 || !bench::TraceCalls(true) || !floor.Press() || !bench::TraceCalls(false) ||
      chdir(folder.program.c_str()) != 0 || !bench::TraceCalls(true) || !autoPress() || !bench::TraceCalls(false)) {
    std::fprintf(stderr, "auto_bench: the first press failed (%s)\n", platform::GbkToUtf8(window.lastBox()).c_str());
    return 1;
  }
  std::string floorCalls = ReadFile(folder.floor + "/station/trace.log");
  std::string programCalls = ReadFile(folder.program + "/station/trace.log");
  if (floorCalls != programCalls || floorCalls.empty()) {
    std::fprintf(stderr, "auto_bench: the floor's calls differ from the program's\n--- floor\n%s--- program\n%s",
                 floorCalls.c_str(), programCalls.c_str());
    return 1;
  }

  std::map<std::string, FsyncTally> filesBefore;
  for (const auto& file : counter.Files()) filesBefore[file.path] = file.tally;
  Series floorSeries, programSeries;
  for (long done = 0; done < options.presses;) {
    long block = std::min(options.block, options.presses - done);
    bool ok = chdir(folder.floor.c_str()) == 0;
    for (long i = 0; ok && i < block; ++i) {
      ok = Measure([&] { return floor.Press(); }, counter, &floorSeries, done + i, options.presses);
    }
    ok = ok && chdir(folder.program.c_str()) == 0;
    for (long i = 0; ok && i < block; ++i) ok = Measure(autoPress, counter, &programSeries, done + i, options.presses);
    if (!ok) {
      std::fprintf(stderr, "auto_bench: press %ld failed (%s)\n", done + 1,
                   platform::GbkToUtf8(window.lastBox()).c_str());
      return 1;
    }
    done += block;
  }
  if (!Verify(folder, addresses)) return 1;

  // ---- the report ----
  const size_t n = static_cast<size_t>(options.presses);
  const double modules = 2.0 * static_cast<double>(n);
  std::printf("auto_bench: %zu presses of Auto (EEPROM, devices 1 and 2, instant simulated station)\n", n);
  std::printf("working folder %s (%s), floor and program alternating in blocks of %ld presses\n", folder.root.c_str(),
              bench::FileSystemName(folder.root).c_str(), options.block);
  if (bench::FileSystemName(folder.root) == "tmpfs") std::printf("note: on tmpfs an fsync costs nothing; use a disk\n");
  if (!counter.Counting()) std::printf("fsyncs not counted: the counter library is not preloaded\n");

  std::printf("\nper module, us           floor     auto  overhead  in fsync  other   CPU: floor   auto  overhead\n");
  const size_t parts = std::min<size_t>(10, n);
  auto line = [&](const char* label, size_t from, size_t to) {
    double floorUs = Mean(floorSeries.ns, from, to) / 2e3;
    double autoUs = Mean(programSeries.ns, from, to) / 2e3;
    double fsyncUs = (Mean(programSeries.fsyncNs, from, to) - Mean(floorSeries.fsyncNs, from, to)) / 2e3;
    double floorCpuUs = Mean(floorSeries.cpuNs, from, to) / 2e3, autoCpuUs = Mean(programSeries.cpuNs, from, to) / 2e3;
    std::printf("  %-20s %8.1f %8.1f  %8.1f  %8.1f %6.1f       %6.1f %6.1f  %6.1f\n", label, floorUs, autoUs,
                autoUs - floorUs, fsyncUs, autoUs - floorUs - fsyncUs, floorCpuUs, autoCpuUs, autoCpuUs - floorCpuUs);
  };
  for (size_t part = 0; part < parts; ++part) {
    size_t from = n * part / parts, to = n * (part + 1) / parts;
    char label[64];
    std::snprintf(label, sizeof label, "presses %zu-%zu", from + 1, to);
    line(label, from, to);
  }
  line("all presses, mean", 0, n);
  double floorMedian = Median(floorSeries.ns) / 2e3, autoMedian = Median(programSeries.ns) / 2e3;
  std::printf("  %-20s %8.1f %8.1f  %8.1f\n", "all presses, median", floorMedian, autoMedian, autoMedian - floorMedian);

  double floorMean = Mean(floorSeries.ns, 0, n), autoMean = Mean(programSeries.ns, 0, n);
  std::printf("\nAuto / floor: wall time %.2f (mean), %.2f (median); CPU %.2f\n", autoMean / floorMean,
              autoMedian / floorMedian, Mean(programSeries.cpuNs, 0, n) / Mean(floorSeries.cpuNs, 0, n));
  auto perModuleUs = [&](int64_t us) { return static_cast<double>(us) / modules; };
  std::printf(
      "CPU per module, us: floor user %.1f system %.1f; auto user %.1f system %.1f; the program's user %.1f system "
      "%.1f\n",
      perModuleUs(floorSeries.userUs), perModuleUs(floorSeries.systemUs), perModuleUs(programSeries.userUs),
      perModuleUs(programSeries.systemUs), perModuleUs(programSeries.userUs - floorSeries.userUs),
      perModuleUs(programSeries.systemUs - floorSeries.systemUs));
  if (counter.Counting()) {
    double floorFsyncs = Mean(floorSeries.fsyncs, 0, n) / 2, autoFsyncs = Mean(programSeries.fsyncs, 0, n) / 2;
    std::printf("fsyncs per module: auto %.2f, floor %.2f (the simulated station's own), the program's %.2f\n",
                autoFsyncs, floorFsyncs, autoFsyncs - floorFsyncs);
    std::printf("  the program's fsyncs per module, first tenth %.2f, last tenth %.2f\n",
                (Mean(programSeries.fsyncs, 0, n / parts) - Mean(floorSeries.fsyncs, 0, n / parts)) / 2,
                (Mean(programSeries.fsyncs, n - n / parts, n) - Mean(floorSeries.fsyncs, n - n / parts, n)) / 2);
    PrintFsyncFiles(filesBefore, counter, folder, modules);
  }
  std::printf("\nRSS: auto press 1 %lld kB, press %zu %lld kB; floor press 1 %lld kB, press %zu %lld kB\n",
              static_cast<long long>(programSeries.rssFirstKb), n, static_cast<long long>(programSeries.rssLastKb),
              static_cast<long long>(floorSeries.rssFirstKb), n, static_cast<long long>(floorSeries.rssLastKb));
  long long dbBytes = 0;
  for (const char* name : {"/production.db", "/production.db-wal"}) {
    std::ifstream file(folder.program + name, std::ios::binary | std::ios::ate);
    if (file) dbBytes += static_cast<long long>(file.tellg());
  }
  std::printf("production.db with its log: %lld kB for %ld address writes\n", dbBytes / 1024, addresses);

  if (chdir(options.parent.c_str()) != 0) return 1;
  if (options.keep) {
    std::printf("kept %s\n", folder.root.c_str());
  } else {
    bench::RemoveBenchFolder(folder);
  }
  return 0;
}
