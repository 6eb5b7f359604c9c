#include "platform/sleep.h"

#include <windows.h>

namespace platform {

void SleepMs(unsigned milliseconds) { Sleep(milliseconds); }

int64_t SteadyMs() {
  static const int64_t frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<int64_t>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<int64_t>(now.QuadPart / frequency * 1000 + now.QuadPart % frequency * 1000 / frequency);
}

}  // namespace platform
