#include "platform/sleep.h"

#include <chrono>
#include <thread>

namespace platform {

void SleepMs(unsigned milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace platform
