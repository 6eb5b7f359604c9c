#include "sim/memory_store.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include <unistd.h>

#include <cstdio>

namespace sim {
namespace {

// Over an existing file too, which the C library's rename refuses on Windows.
bool RenameOver(const std::string& from, const std::string& to) {
  std::error_code failed;
  std::filesystem::rename(from, to, failed);
  return !failed;
}

std::string_view Prefix(Memory memory) {
  switch (memory) {
    case Memory::Eeprom: return "eeprom";
    case Memory::SpiFlash: return "spi_flash";
    case Memory::ParallelFlash: return "parallel_flash";
  }
  return "eeprom";
}

uint32_t Field(const Station& station, std::string_view module, Memory flash, std::string_view field) {
  int64_t value = station.Integer(ModuleSection(module), std::string(Prefix(flash)) + "_" + std::string(field), 0);
  return value < 0 ? 0 : static_cast<uint32_t>(value);
}

}  // namespace

uint32_t EepromKbit(const Station& station, std::string_view module) {
  int64_t kbit = station.Integer(ModuleSection(module), "eeprom_kbit", 0);
  return kbit < 0 ? 0 : static_cast<uint32_t>(kbit);
}

FlashIdentity FlashIdentityOf(const Station& station, std::string_view module, Memory flash) {
  return {Field(station, module, flash, "mbit"), Field(station, module, flash, "mid"),
          Field(station, module, flash, "devid"), Field(station, module, flash, "sector")};
}

size_t MemoryBytes(const Station& station, std::string_view module, Memory memory) {
  if (memory == Memory::Eeprom) return static_cast<size_t>(EepromKbit(station, module)) * 1024 / 8;
  return static_cast<size_t>(FlashIdentityOf(station, module, memory).sizeMbit) * 1024 * 1024 / 8;
}

std::string ImagePath(const Station& station, std::string_view module, Memory memory) {
  return station.FilePath(std::string(module) + "." + std::string(Prefix(memory)) + ".bin");
}

std::vector<uint8_t> ReadMemory(const Station& station, std::string_view module, Memory memory) {
  size_t size = MemoryBytes(station, module, memory);
  std::vector<uint8_t> contents;
  std::ifstream in(ImagePath(station, module, memory), std::ios::binary);
  if (in) contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  contents.resize(size, 0xff);
  return contents;
}

bool WriteMemory(const Station& station, std::string_view module, Memory memory,
                 const std::vector<uint8_t>& contents) {
  if (contents.size() > MemoryBytes(station, module, memory)) return false;
  // The erased tail is left out of the file; reading fills it in again.
  size_t used = contents.size();
  while (used > 0 && contents[used - 1] == 0xff) --used;
  std::string path = ImagePath(station, module, memory);
  std::string temp = path + ".new." + std::to_string(getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(contents.data()), static_cast<std::streamsize>(used));
    if (!out.flush()) {
      std::remove(temp.c_str());
      return false;
    }
  }
  return RenameOver(temp, path);
}

bool ProgramFlash(const Station& station, std::string_view module, Memory flash,
                  const std::map<uint32_t, uint16_t>& words) {
  std::vector<uint8_t> contents(MemoryBytes(station, module, flash), 0xff);
  for (const auto& [address, value] : words) {
    size_t at = static_cast<size_t>(address) * 2;
    if (at + 2 > contents.size()) return false;
    contents[at] &= static_cast<uint8_t>(value & 0xff);
    contents[at + 1] &= static_cast<uint8_t>(value >> 8);
  }
  return WriteMemory(station, module, flash, contents);
}

}  // namespace sim
