// TestE2: the module's EEPROM over one transport of its own. 0 is success.
#include <algorithm>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/gbk.h"
#include "sim/c_boundary.h"
#include "sim/call_trace.h"
#include "sim/exported_api.h"
#include "sim/fault_rules.h"
#include "sim/firmware_file.h"
#include "sim/memory_store.h"

namespace sim {
namespace {

enum E2Error : int32_t {
  kE2Ok = 0,
  kE2NotOpen = 1,
  kE2NotFitted = 3,
  kE2BadFile = 4,
  kE2TooLarge = 5,
  kE2WriteFailed = 6,
  kE2VerifyFailed = 7,
  kE2Locked = 8,
  kE2Injected = 9,
};

struct E2Session {
  std::optional<std::string> module;
};

E2Session& Session() {
  static E2Session session;
  return session;
}

std::mutex& E2Mutex() {
  static std::mutex mutex;
  return mutex;
}

// Runs `body` when the transport is open, its module still there with an
// EEPROM fitted, and no fault strikes.
template <typename Body>
int32_t OnEeprom(std::string_view function, TraceLine trace, Body&& body) {
  return AtBoundary<int32_t>(kE2Injected, [&]() -> int32_t {
    std::lock_guard<std::mutex> lock(E2Mutex());
    Station station;
    const std::optional<std::string>& module = Session().module;
    if (!module || !station.ModulePresent(*module)) {
      return Traced(station, trace.Out("error", "no transport open"), int32_t{kE2NotOpen});
    }
    if (Strike(station, function, *module)) return Traced(station, trace.Out("fault", "injected"), int32_t{kE2Injected});
    if (MemoryBytes(station, *module, Memory::Eeprom) == 0) {
      return Traced(station, trace.Out("error", "no EEPROM fitted"), int32_t{kE2NotFitted});
    }
    return Traced(station, trace, body(station, *module, trace));
  });
}

// Writes and, when asked, reads back what was written.
int32_t Store(const Station& station, const std::string& module, const std::vector<uint8_t>& contents, bool verify) {
  if (!WriteMemory(station, module, Memory::Eeprom, contents)) return kE2WriteFailed;
  if (verify && ReadMemory(station, module, Memory::Eeprom) != contents) return kE2VerifyFailed;
  return kE2Ok;
}

// The header that marks an EEPROM as holding a boot image: four little-endian
// words, a marker, a version, the size in kilobits and a checksum of the three.
void PutHeader(std::vector<uint8_t>* contents, uint32_t kbit) {
  uint16_t words[4] = {0xa55a, 0x0001, static_cast<uint16_t>(kbit), 0};
  words[3] = static_cast<uint16_t>(words[0] ^ words[1] ^ words[2]);
  for (size_t i = 0; i < 4 && 2 * i + 1 < contents->size(); ++i) {
    (*contents)[2 * i] = static_cast<uint8_t>(words[i] & 0xff);
    (*contents)[2 * i + 1] = static_cast<uint8_t>(words[i] >> 8);
  }
}

}  // namespace
}  // namespace sim

using namespace sim;

int32_t te2OpenTrans(const char* transport) {
  return AtBoundary<int32_t>(kE2Injected, [&]() -> int32_t {
    std::lock_guard<std::mutex> lock(E2Mutex());
    Station station;
    TraceLine trace("te2OpenTrans");
    trace.Text(transport);
    Session().module.reset();
    std::optional<std::string> module;
    if (transport != nullptr) {
      if (std::optional<Adapter> adapter = station.AdapterWithTransport(transport)) module = station.ModuleOn(*adapter);
    }
    if (!module) return Traced(station, trace.Out("error", "no module on that transport"), int32_t{kE2NotOpen});
    if (Strike(station, "te2OpenTrans", *module)) return Traced(station, trace.Out("fault", "injected"), int32_t{kE2Injected});
    if (station.Flag(ModuleSection(*module), "spi_locked", false)) {
      return Traced(station, trace.Out("error", "SPI port locked"), int32_t{kE2Locked});
    }
    Session().module = module;
    return Traced(station, trace.Out("module", *module), int32_t{kE2Ok});
  });
}

int32_t te2GetSize(uint32_t* kbit) {
  return OnEeprom("te2GetSize", TraceLine("te2GetSize"), [&](const Station& station, const std::string& module, TraceLine& t) {
    if (kbit == nullptr) return int32_t{kE2NotOpen};
    *kbit = EepromKbit(station, module);
    t.Out("kbit", std::to_string(*kbit));
    return int32_t{kE2Ok};
  });
}

int32_t te2Program(const char* path, int32_t verify) {
  TraceLine trace("te2Program");
  trace.Text(path).Number(verify);
  return OnEeprom("te2Program", trace, [&](const Station& station, const std::string& module, TraceLine& t) -> int32_t {
    std::vector<uint8_t> image;
    std::string error;
    if (path == nullptr || !LoadRawImage(platform::GbkToUtf8(path), &image, &error)) {
      t.Out("error", path == nullptr ? "no path" : error);
      return kE2BadFile;
    }
    std::vector<uint8_t> contents = ReadMemory(station, module, Memory::Eeprom);
    if (image.size() > contents.size()) {
      t.Out("error", "image of " + std::to_string(image.size()) + " bytes, EEPROM of " + std::to_string(contents.size()));
      return kE2TooLarge;
    }
    std::copy(image.begin(), image.end(), contents.begin());
    return Store(station, module, contents, verify != 0);
  });
}

int32_t te2Dump(const char* path, int32_t verify) {
  TraceLine trace("te2Dump");
  trace.Text(path).Number(verify);
  return OnEeprom("te2Dump", trace, [&](const Station& station, const std::string& module, TraceLine& t) -> int32_t {
    std::vector<uint8_t> contents = ReadMemory(station, module, Memory::Eeprom);
    std::string text(contents.begin(), contents.end());
    if (path == nullptr || !SaveText(platform::GbkToUtf8(path), text)) {
      t.Out("error", "cannot write the dump file");
      return kE2WriteFailed;
    }
    if (verify != 0) {
      std::vector<uint8_t> again;
      std::string error;
      if (!LoadRawImage(platform::GbkToUtf8(path), &again, &error) || again != contents) return kE2VerifyFailed;
    }
    return kE2Ok;
  });
}

int32_t te2Fill(uint16_t value, int32_t verify) {
  TraceLine trace("te2Fill");
  trace.Hex(value).Number(verify);
  return OnEeprom("te2Fill", trace, [&](const Station& station, const std::string& module, TraceLine&) {
    std::vector<uint8_t> contents(MemoryBytes(station, module, Memory::Eeprom));
    for (size_t i = 0; i + 1 < contents.size(); i += 2) {
      contents[i] = static_cast<uint8_t>(value & 0xff);
      contents[i + 1] = static_cast<uint8_t>(value >> 8);
    }
    return Store(station, module, contents, verify != 0);
  });
}

int32_t te2WriteBcHeader(void) {
  return OnEeprom("te2WriteBcHeader", TraceLine("te2WriteBcHeader"), [](const Station& station, const std::string& module, TraceLine&) {
    std::vector<uint8_t> contents = ReadMemory(station, module, Memory::Eeprom);
    PutHeader(&contents, EepromKbit(station, module));
    return Store(station, module, contents, true);
  });
}

void te2Close(void) {
  AtBoundary([] {
    std::lock_guard<std::mutex> lock(E2Mutex());
    Station station;
    Session().module.reset();
    if (station.Tracing()) AppendTrace(station, TraceLine("te2Close").Finish("void"));
  });
}
