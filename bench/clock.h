// The bench's clocks: wall time, this process's CPU time, and that CPU time
// split into user and system as the kernel accounts it.
#pragma once

#include <sys/resource.h>
#include <time.h>

#include <cstdint>

namespace bench {

inline int64_t Nanoseconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}
inline int64_t WallNs() { return Nanoseconds(CLOCK_MONOTONIC); }
inline int64_t CpuNs() { return Nanoseconds(CLOCK_PROCESS_CPUTIME_ID); }

struct CpuSplit {
  int64_t userUs = 0;
  int64_t systemUs = 0;
};

inline CpuSplit CpuSplitNow() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return {static_cast<int64_t>(usage.ru_utime.tv_sec) * 1000000 + usage.ru_utime.tv_usec,
          static_cast<int64_t>(usage.ru_stime.tv_sec) * 1000000 + usage.ru_stime.tv_usec};
}

}  // namespace bench
