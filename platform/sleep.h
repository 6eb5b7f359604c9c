#pragma once

namespace platform {

void SleepMs(unsigned milliseconds);

}  // namespace platform
