#include "memory/host.h"

#include <time.h>

#include "platform/sleep.h"

namespace memory {
namespace {

class SteadyClock : public Clock {
 public:
  uint64_t NowMs() override {
    // <chrono> cannot be compiled with the GBK literals of this library.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1'000'000u;
  }
  void SleepMs(unsigned milliseconds) override { platform::SleepMs(milliseconds); }
};

}  // namespace

Clock& SystemClock() {
  static SteadyClock clock;
  return clock;
}

}  // namespace memory
