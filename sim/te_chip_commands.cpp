// TestEngine: chip commands (version, reset, PIO lines, SPI lock).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sim/engine_state.h"
#include "sim/exported_api.h"

namespace sim {
namespace {

uint32_t Word(const Station& station, const std::string& module, const char* key) {
  return static_cast<uint32_t>(station.Integer(ModuleSection(module), key, 0));
}

std::string KeyText(const uint32_t* key) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%08x %08x %08x %08x", key[0], key[1], key[2], key[3]);
  return buffer;
}

}  // namespace
}  // namespace sim

using namespace sim;

int32_t bccmdGetChipVersion(uint32_t handle, uint16_t* version) {
  TraceLine trace("bccmdGetChipVersion");
  trace.Number(handle);
  return OnHandle("bccmdGetChipVersion", handle, Peer::Module, trace, [&](const Station& station, Connection& c, TraceLine& t) {
    if (version == nullptr) return 0;
    *version = static_cast<uint16_t>(Word(station, c.peer, "chip_version"));
    t.Out("version", std::to_string(*version));
    return 1;
  });
}

int32_t bccmdSetColdReset(uint32_t handle, int32_t delay) {
  TraceLine trace("bccmdSetColdReset");
  trace.Number(handle).Number(delay);
  return OnHandle("bccmdSetColdReset", handle, Peer::Module, trace, [&](const Station&, Connection& c, TraceLine&) {
    // A restart ends every radio test the chip was running.
    Handles().StopRadioTests(c.peer);
    return 1;
  });
}

int32_t bccmdMapPio32(uint32_t handle, uint32_t mask, uint32_t pios, uint32_t* refused) {
  TraceLine trace("bccmdMapPio32");
  trace.Number(handle).Hex(mask).Hex(pios);
  return OnHandle("bccmdMapPio32", handle, Peer::Module, trace, [&](const Station& station, Connection& c, TraceLine& t) {
    if (refused == nullptr) return 0;
    *refused = Word(station, c.peer, "pio_refused") & mask & pios;
    t.Out("refused", HexText(*refused));
    return 1;
  });
}

int32_t bccmdGetPio32(uint32_t handle, uint32_t* direction, uint32_t* level) {
  TraceLine trace("bccmdGetPio32");
  trace.Number(handle);
  return OnHandle("bccmdGetPio32", handle, Peer::Module, trace, [&](const Station& station, Connection& c, TraceLine& t) {
    if (direction == nullptr || level == nullptr) return 0;
    *direction = ~Word(station, c.peer, "pio_refused");
    *level = Word(station, c.peer, "pio_levels");
    t.Out("direction", HexText(*direction)).Out("level", HexText(*level));
    return 1;
  });
}

int32_t bccmdSetSpiLockCustomerKey(uint32_t handle, const uint32_t* key) {
  TraceLine trace("bccmdSetSpiLockCustomerKey");
  trace.Number(handle);
  if (key != nullptr) trace.Text(KeyText(key).c_str());
  return OnHandle("bccmdSetSpiLockCustomerKey", handle, Peer::Module, trace,
                  [&](const Station& station, Connection& c, TraceLine& t) {
                    if (key == nullptr) return 0;
                    // The key is written once into the chip; only the same key is taken again.
                    std::string section = ModuleSection(c.peer);
                    std::string stored = station.Text(section, "customer_key");
                    if (!stored.empty() && stored != KeyText(key)) {
                      t.Out("error", "another customer key is set");
                      return 0;
                    }
                    return station.Set(section, "customer_key", KeyText(key)) ? 1 : 0;
                  });
}

int32_t bccmdSpiLockInitiateLock(uint32_t handle) {
  TraceLine trace("bccmdSpiLockInitiateLock");
  trace.Number(handle);
  return OnHandle("bccmdSpiLockInitiateLock", handle, Peer::Module, trace, [&](const Station& station, Connection& c, TraceLine&) {
    return station.Set(ModuleSection(c.peer), "spi_locked", "yes") ? 1 : 0;
  });
}

int32_t bccmdGetSpiLockStatus(uint32_t handle, uint32_t* status) {
  TraceLine trace("bccmdGetSpiLockStatus");
  trace.Number(handle);
  return OnHandle("bccmdGetSpiLockStatus", handle, Peer::Module, trace, [&](const Station& station, Connection& c, TraceLine& t) {
    if (status == nullptr) return 0;
    std::string section = ModuleSection(c.peer);
    *status = (station.Flag(section, "spi_locked", false) ? 1u : 0u) | (station.Text(section, "customer_key").empty() ? 0u : 2u);
    t.Out("status", std::to_string(*status));
    return 1;
  });
}
