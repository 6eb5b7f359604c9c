// TestEngine: the module's persistent store (address, name key, crystal).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sim/engine_state.h"
#include "sim/exported_api.h"
#include "sim/radio_model.h"

namespace sim {
namespace {

uint32_t HexKey(const Station& station, const std::string& module, const char* key) {
  return static_cast<uint32_t>(std::strtoul(station.Text(ModuleSection(module), key, "0").c_str(), nullptr, 16));
}

std::string Hex(unsigned value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*x", digits, value);
  return buffer;
}

// The longest value a key of the store takes, in words.
constexpr uint16_t kLongestKey = 128;

}  // namespace
}  // namespace sim

using namespace sim;

int32_t psReadBdAddr(uint32_t handle, uint32_t* lap, uint8_t* uap, uint16_t* nap) {
  TraceLine trace("psReadBdAddr");
  trace.Number(handle);
  return OnHandle("psReadBdAddr", handle, Peer::Module, trace, [&](const Station& station, Connection& c, TraceLine& t) {
    if (lap == nullptr || uap == nullptr || nap == nullptr) return 0;
    *lap = HexKey(station, c.peer, "lap") & 0xffffff;
    *uap = static_cast<uint8_t>(HexKey(station, c.peer, "uap"));
    *nap = static_cast<uint16_t>(HexKey(station, c.peer, "nap"));
    t.Out("lap", HexText(*lap)).Out("uap", HexText(*uap)).Out("nap", HexText(*nap));
    return 1;
  });
}

int32_t psWriteBdAddr(uint32_t handle, uint32_t lap, uint32_t uap, uint32_t nap) {
  TraceLine trace("psWriteBdAddr");
  trace.Number(handle).Hex(lap).Hex(uap).Hex(nap);
  return OnHandle("psWriteBdAddr", handle, Peer::Module, trace, [&](const Station& station, Connection& c, TraceLine& t) {
    // The parts of an address have fixed widths; a wider number is refused, not cut.
    if (lap > 0xffffff || uap > 0xff || nap > 0xffff) {
      t.Out("error", "address part too wide");
      return 0;
    }
    // A module that says yes and keeps its old address; a module that takes
    // the address and whose yes is lost on the way back.
    if (Strike(station, "bdaddr_not_kept", c.peer)) {
      t.Out("fault", "not kept");
      return 1;
    }
    const bool answerLost = Strike(station, "bdaddr_answer_lost", c.peer).has_value();
    std::string section = ModuleSection(c.peer);
    if (!station.SetAll(section, {{"nap", Hex(nap, 4)}, {"uap", Hex(uap, 2)}, {"lap", Hex(lap, 6)}})) return 0;
    if (answerLost) {
      t.Out("fault", "answer lost");
      return 0;
    }
    return 1;
  });
}

int32_t psWrite(uint32_t handle, uint16_t key, uint16_t store, uint16_t length, const uint16_t* words) {
  TraceLine trace("psWrite");
  trace.Number(handle).Number(key).Number(store).Number(length);
  std::string value;
  for (uint16_t i = 0; words != nullptr && i < length && i < kLongestKey; ++i) {
    if (i > 0) value += " ";
    value += Hex(words[i], 4);
  }
  trace.Text(value.c_str());
  return OnHandle("psWrite", handle, Peer::Module, trace, [&](const Station& station, Connection& c, TraceLine& t) {
    if (words == nullptr || length == 0 || length > kLongestKey) {
      t.Out("error", "no words or too many");
      return 0;
    }
    return station.Set(ModuleSection(c.peer), "ps_" + std::to_string(key), value) ? 1 : 0;
  });
}

int32_t psWriteXtalFtrim(uint32_t handle, uint32_t trim) {
  TraceLine trace("psWriteXtalFtrim");
  trace.Number(handle).Number(trim);
  return OnHandle("psWriteXtalFtrim", handle, Peer::Module, trace, [&](const Station& station, Connection& c, TraceLine& t) {
    if (trim > kHighestTrim) {
      t.Out("error", "trim out of range");
      return 0;
    }
    return station.Set(ModuleSection(c.peer), "xtal_ftrim", std::to_string(trim)) ? 1 : 0;
  });
}

int32_t psReadXtalOffset(uint32_t handle, int16_t* offset) {
  TraceLine trace("psReadXtalOffset");
  trace.Number(handle);
  return OnHandle("psReadXtalOffset", handle, Peer::Module, trace, [&](const Station& station, Connection& c, TraceLine& t) {
    if (offset == nullptr) return 0;
    *offset = static_cast<int16_t>(station.Integer(ModuleSection(c.peer), "xtal_offset", 0));
    t.Out("offset", std::to_string(*offset));
    return 1;
  });
}

int32_t psWriteXtalOffset(uint32_t handle, int16_t offset) {
  TraceLine trace("psWriteXtalOffset");
  trace.Number(handle).Number(offset);
  return OnHandle("psWriteXtalOffset", handle, Peer::Module, trace, [&](const Station& station, Connection& c, TraceLine&) {
    return station.Set(ModuleSection(c.peer), "xtal_offset", std::to_string(offset)) ? 1 : 0;
  });
}
