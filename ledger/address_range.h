// The LAP counter of btconfig.ini: what may be given to a module and what comes next.
#pragma once

#include <cstdint>
#include <string_view>

namespace ledger {

inline constexpr uint32_t kLastLap = 0xFFFFFF;
// Reserved for inquiry access codes: never a device's LAP.
inline constexpr uint32_t kReservedLapFirst = 0x9E8B00;
inline constexpr uint32_t kReservedLapLast = 0x9E8B3F;

enum class LapCheck { Ok, UsedUp, Reserved };

// Whether the stored LAP text may be written to a module. A text of more than
// eight characters would wrap to a small number when parsed, so it counts as used up.
LapCheck CheckStoredLap(std::string_view text, uint32_t lap);

// The LAP stored for the next module: one higher, stepping over the reserved block.
uint32_t NextLap(uint32_t lap);

}  // namespace ledger
