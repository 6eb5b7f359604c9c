#include "bench/report.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace bench {
namespace {

// Per module: a press works on two.
constexpr double kModulesPerPress = 2.0;

double Us(double ns) { return ns / 1e3 / kModulesPerPress; }

struct Part {
  size_t from, to;
  char label[32];
};

std::vector<Part> Parts(size_t n) {
  std::vector<Part> parts;
  size_t from = 0;
  for (size_t to : TenthEnds(n)) {
    Part part{from, to, {}};
    std::snprintf(part.label, sizeof part.label, "%zu-%zu", from + 1, to);
    parts.push_back(part);
    from = to;
  }
  Part all{0, n, {}};
  std::snprintf(all.label, sizeof all.label, "all");
  parts.push_back(all);
  return parts;
}

void AgainstTheFloor(const Findings& f, const std::vector<Part>& parts) {
  std::printf("\nAgainst the floor (the same library calls made directly), per module, us:\n");
  std::printf("  %-12s %10s %10s %10s   %10s %10s %10s\n", "presses", "floor mean", "auto mean", "overhead",
              "floor med.", "auto med.", "overhead");
  for (const Part& p : parts) {
    auto wall = [](const Sample& s) { return s.wallNs; };
    double floorMean = Us(Mean(f.floor.samples, p.from, p.to, wall));
    double autoMean = Us(Mean(f.program.samples, p.from, p.to, wall));
    double floorMedian = Us(MedianWallNs(f.floor.samples, p.from, p.to));
    double autoMedian = Us(MedianWallNs(f.program.samples, p.from, p.to));
    std::printf("  %-12s %10.1f %10.1f %10.1f   %10.1f %10.1f %10.1f\n", p.label, floorMean, autoMean,
                autoMean - floorMean, floorMedian, autoMedian, autoMedian - floorMedian);
  }
}

void ProgramsOwn(const Findings& f, const std::vector<Part>& parts) {
  std::printf("\nAuto's presses split, per module (us, fsyncs); memory after the last press of the row:\n");
  std::printf("  %-12s %9s %9s %9s %9s %9s %9s %7s %8s %9s\n", "presses", "auto", "in libs", "own", "own fsync",
              "own other", "own CPU", "fsyncs", "RSS kB", "SQLite kB");
  for (size_t i = 0; i < parts.size(); ++i) {
    const Part& p = parts[i];
    const auto& s = f.program.samples;
    double wall = Us(Mean(s, p.from, p.to, [](const Sample& x) { return x.wallNs; }));
    double inLibs = Us(Mean(s, p.from, p.to, [](const Sample& x) { return x.inside.wallNs; }));
    double ownFsync = Us(Mean(s, p.from, p.to, [](const Sample& x) { return x.fsyncNs - x.inside.fsyncNs; }));
    double ownCpu = Us(Mean(s, p.from, p.to, [](const Sample& x) { return x.cpuNs - x.inside.cpuNs; }));
    double ownFsyncs =
        Mean(s, p.from, p.to, [](const Sample& x) { return x.fsyncs - x.inside.fsyncs; }) / kModulesPerPress;
    size_t at = i + 1 < parts.size() ? i + 1 : f.program.rssKb.size() - 1;
    std::printf("  %-12s %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f %7.2f %8lld %9lld\n", p.label, wall, inLibs, wall - inLibs,
                ownFsync, wall - inLibs - ownFsync, ownCpu, ownFsyncs, static_cast<long long>(f.program.rssKb[at]),
                static_cast<long long>(f.program.sqliteKb[at]));
  }
}

void FsyncFiles(const Findings& f, double modules) {
  std::printf("\nfsyncs by file during the timed presses (per module; mean time of one):\n");
  for (const auto& file : f.counter->Files()) {
    auto before = f.fsyncFilesBefore.find(file.path);
    FsyncTally old = before == f.fsyncFilesBefore.end() ? FsyncTally{} : before->second;
    uint64_t calls = file.tally.calls - old.calls;
    if (calls == 0) continue;
    std::string shown = file.path;
    if (shown.rfind(f.folder.root, 0) == 0) shown = "." + shown.substr(f.folder.root.size());
    std::printf("  %-40s %6.2f  %8.1f us\n", shown.c_str(), static_cast<double>(calls) / modules,
                static_cast<double>(file.tally.nanoseconds - old.nanoseconds) / 1e3 / static_cast<double>(calls));
  }
}

long long FileKb(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  return file ? static_cast<long long>(file.tellg()) / 1024 : 0;
}

}  // namespace

void PrintFindings(const Findings& f) {
  const size_t n = f.program.samples.size();
  const double modules = kModulesPerPress * static_cast<double>(n);
  const std::vector<Part> parts = Parts(n);
  std::printf("auto_bench: %zu presses of Auto (EEPROM, devices 1 and 2, instant simulated station)\n", n);
  std::printf("working folder %s (%s); floor and program alternate in blocks of %ld presses\n", f.folder.root.c_str(),
              FileSystemName(f.folder.root).c_str(), f.block);
  if (FileSystemName(f.folder.root) == "tmpfs") std::printf("note: on tmpfs an fsync costs nothing; use a disk\n");
  AgainstTheFloor(f, parts);
  if (f.counter->Counting()) {
    ProgramsOwn(f, parts);
  } else {
    std::printf("\nfsyncs not counted: the counter library is not preloaded\n");
  }

  auto all = [&](const Series& s, auto field) { return Mean(s.samples, 0, n, field); };
  auto wall = [](const Sample& s) { return s.wallNs; };
  auto cpu = [](const Sample& s) { return s.cpuNs; };
  auto user = [](const Sample& s) { return s.cpu.userUs * 1000; };
  auto system = [](const Sample& s) { return s.cpu.systemUs * 1000; };
  auto fsyncs = [](const Sample& s) { return s.fsyncs; };
  double overheadMean = Us(all(f.program, wall) - all(f.floor, wall));
  double overheadMedian = Us(MedianWallNs(f.program.samples, 0, n) - MedianWallNs(f.floor.samples, 0, n));
  std::printf("\nper-module overhead (Auto - floor) / (2 N): %.1f us mean, %.1f us median\n", overheadMean,
              overheadMedian);
  std::printf("Auto / floor: wall %.2f (mean), %.2f (median); CPU %.2f\n", all(f.program, wall) / all(f.floor, wall),
              MedianWallNs(f.program.samples, 0, n) / MedianWallNs(f.floor.samples, 0, n),
              all(f.program, cpu) / all(f.floor, cpu));
  std::printf("the program's CPU per module (Auto - floor): %.1f us, of it user %.1f, system %.1f\n",
              Us(all(f.program, cpu) - all(f.floor, cpu)), Us(all(f.program, user) - all(f.floor, user)),
              Us(all(f.program, system) - all(f.floor, system)));
  if (f.counter->Counting()) {
    double autoFsyncs = all(f.program, fsyncs) / kModulesPerPress,
           floorFsyncs = all(f.floor, fsyncs) / kModulesPerPress;
    std::printf("fsyncs per module: Auto %.3f, floor %.3f (the simulated station's own), the program's %.3f\n",
                autoFsyncs, floorFsyncs, autoFsyncs - floorFsyncs);
    FsyncFiles(f, modules);
  }
  std::printf("\nRSS: press 1 %lld kB, press %zu %lld kB (SQLite's heap %lld kB, %lld kB)\n",
              static_cast<long long>(f.program.rssKb.front()), n, static_cast<long long>(f.program.rssKb.back()),
              static_cast<long long>(f.program.sqliteKb.front()), static_cast<long long>(f.program.sqliteKb.back()));
  std::printf("production.db %lld kB and its log %lld kB after %ld address writes\n",
              FileKb(f.folder.program + "/production.db"), FileKb(f.folder.program + "/production.db-wal"),
              f.addresses);
}

}  // namespace bench
