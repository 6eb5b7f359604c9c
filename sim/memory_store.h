// The memories of a module: their sizes and identities from the station file,
// their contents in station/<module>.<memory>.bin. A memory reads as erased
// (0xff) past the end of its file, so a fresh station needs no large files.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "sim/station.h"

namespace sim {

enum class Memory { Eeprom, SpiFlash, ParallelFlash };

struct FlashIdentity {
  uint32_t sizeMbit = 0;
  uint32_t manufacturerId = 0;
  uint32_t deviceId = 0;
  uint32_t sector = 0;
};

// 0 when the module has no such memory fitted.
size_t MemoryBytes(const Station& station, std::string_view module, Memory memory);
uint32_t EepromKbit(const Station& station, std::string_view module);
FlashIdentity FlashIdentityOf(const Station& station, std::string_view module, Memory flash);

std::string ImagePath(const Station& station, std::string_view module, Memory memory);

// The whole memory, MemoryBytes long.
std::vector<uint8_t> ReadMemory(const Station& station, std::string_view module, Memory memory);
// Replaces the memory's contents; `contents` must not be longer than the memory.
bool WriteMemory(const Station& station, std::string_view module, Memory memory,
                 const std::vector<uint8_t>& contents);

// Flash as real parts take it: the chip is erased, then each word programmed,
// which can only clear bits. Words are little-endian at byte address 2 * word.
// False when a word lies beyond the part.
bool ProgramFlash(const Station& station, std::string_view module, Memory flash,
                  const std::map<uint32_t, uint16_t>& words);

}  // namespace sim
