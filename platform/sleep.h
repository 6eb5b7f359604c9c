// The one clock of every wait: sleeping, and a steady count of milliseconds.
#pragma once

#include <cstdint>

namespace platform {

void SleepMs(unsigned milliseconds);

// Milliseconds from some fixed moment; never goes back.
int64_t SteadyMs();

}  // namespace platform
