#include "bench/timed_libraries.h"

#include "bench/clock.h"

namespace bench {

void LibraryClock::Start() {
  FsyncTally fsyncs = counter_.Total();
  started_ = {WallNs(), CpuNs(), fsyncs.calls, fsyncs.nanoseconds};
}

void LibraryClock::Stop() {
  FsyncTally fsyncs = counter_.Total();
  inside_.wallNs += WallNs() - started_.wallNs;
  inside_.cpuNs += CpuNs() - started_.cpuNs;
  inside_.fsyncs += fsyncs.calls - started_.fsyncs;
  inside_.fsyncNs += fsyncs.nanoseconds - started_.fsyncNs;
}

}  // namespace bench
