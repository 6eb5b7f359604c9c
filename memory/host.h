// What the memory roads take from the machine they run on: the passing of
// time, the flash tool's process, and how long they wait for something that
// has stopped moving before they give up on it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/child_process.h"

namespace memory {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint64_t NowMs() = 0;
  virtual void SleepMs(unsigned milliseconds) = 0;
};

// Steady time and real sleeping.
Clock& SystemClock();

using StartChild = std::function<platform::StartResult(const std::string& commandLine,
                                                       std::unique_ptr<platform::ChildProcess>* child)>;

struct Host {
  Clock* clock = &SystemClock();
  StartChild startChild = platform::StartChildProcess;
  // A burn whose progress stands still this long has hung in the library.
  unsigned progressStallMs = 60'000;
  // A tool that neither writes nor ends for this long has hung.
  unsigned toolSilenceMs = 120'000;
};

}  // namespace memory
