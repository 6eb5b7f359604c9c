// What one press costs, and the presses of one loop in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bench/clock.h"
#include "bench/process_counters.h"
#include "bench/timed_libraries.h"

namespace bench {

struct Sample {
  int64_t wallNs = 0;
  int64_t cpuNs = 0;
  CpuSplit cpu;  // user and system, microseconds
  uint64_t fsyncs = 0;
  uint64_t fsyncNs = 0;
  InsideLibraries inside;  // the share spent in the chip libraries, where they were clocked
};

struct Series {
  std::vector<Sample> samples;
  // Resident memory, and SQLite's share of the heap, after the first press and
  // after the last press of each tenth.
  std::vector<int64_t> rssKb;
  std::vector<int64_t> sqliteKb;
};

// Runs one press into the next sample of `series`. `libraries` is the clock of
// the timed libraries the press calls, or null.
template <typename Press>
bool Measure(Press press, const FsyncCounter& counter, const LibraryClock* libraries, Series* series) {
  InsideLibraries insideBefore = libraries != nullptr ? libraries->inside() : InsideLibraries{};
  FsyncTally fsyncsBefore = counter.Total();
  CpuSplit splitBefore = CpuSplitNow();
  int64_t cpuBefore = CpuNs();
  int64_t wallBefore = WallNs();
  bool ok = press();
  Sample sample;
  sample.wallNs = WallNs() - wallBefore;
  sample.cpuNs = CpuNs() - cpuBefore;
  CpuSplit splitAfter = CpuSplitNow();
  sample.cpu = {splitAfter.userUs - splitBefore.userUs, splitAfter.systemUs - splitBefore.systemUs};
  FsyncTally fsyncsAfter = counter.Total();
  sample.fsyncs = fsyncsAfter.calls - fsyncsBefore.calls;
  sample.fsyncNs = fsyncsAfter.nanoseconds - fsyncsBefore.nanoseconds;
  if (libraries != nullptr) {
    const InsideLibraries& after = libraries->inside();
    sample.inside = {after.wallNs - insideBefore.wallNs, after.cpuNs - insideBefore.cpuNs,
                     after.fsyncs - insideBefore.fsyncs, after.fsyncNs - insideBefore.fsyncNs};
  }
  series->samples.push_back(sample);
  return ok;
}

// Mean and median of one quantity over samples [from, to).
template <typename Field>
double Mean(const std::vector<Sample>& samples, size_t from, size_t to, Field field) {
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += static_cast<double>(field(samples[i]));
  return to > from ? sum / static_cast<double>(to - from) : 0;
}
double MedianWallNs(const std::vector<Sample>& samples, size_t from, size_t to);

// Where each tenth of `presses` ends (fewer parts when there are fewer than ten presses).
std::vector<size_t> TenthEnds(size_t presses);

}  // namespace bench
