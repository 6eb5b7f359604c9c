// TestEngine: what the reference radio measures of the module transmitting
// on the frequency it listens to.
#include <string>

#include "sim/engine_state.h"
#include "sim/exported_api.h"
#include "sim/radio_model.h"

namespace sim {
namespace {

// The module heard on the reference's receive frequency, if any.
const Connection* Carrier(const Station& station, const Connection& reference) {
  if (!reference.receiveMhz) return nullptr;
  for (const Connection* module : Handles().TransmittingOn(*reference.receiveMhz)) {
    if (station.ModulePresent(module->peer)) return module;
  }
  return nullptr;
}

constexpr int32_t kMostSamples = 1000;

}  // namespace
}  // namespace sim

using namespace sim;

int32_t get_freq_offset(uint32_t handle, double* ppm, uint16_t samples) {
  TraceLine trace("get_freq_offset");
  trace.Number(handle).Number(samples);
  return OnHandle("get_freq_offset", handle, Peer::Reference, trace, [&](const Station& station, Connection& c, TraceLine& t) {
    const Connection* carrier = Carrier(station, c);
    if (ppm == nullptr || samples == 0 || carrier == nullptr) {
      t.Out("error", "no carrier to measure");
      return 0;
    }
    *ppm = CarrierErrorPpm(station, carrier->peer, carrier->testTrim);
    t.Out("ppm", std::to_string(*ppm));
    return 1;
  });
}

int32_t hqGetRssi(uint32_t handle, int32_t mode, int32_t count, uint16_t* samples) {
  TraceLine trace("hqGetRssi");
  trace.Number(handle).Number(mode).Number(count);
  return OnHandle("hqGetRssi", handle, Peer::Reference, trace, [&](const Station& station, Connection& c, TraceLine& t) {
    if (samples == nullptr || count < 1 || count > kMostSamples || !c.receiveMhz) {
      t.Out("error", "not receiving or no room for samples");
      return 0;
    }
    uint16_t rssi = RssiFromDbm(ReceivedLevelDbm(station, *c.receiveMhz, Carrier(station, c) != nullptr));
    for (int32_t i = 0; i < count; ++i) samples[i] = rssi;
    t.Out("sample", std::to_string(rssi));
    return 1;
  });
}

int32_t refEpGetRssiDbm(uint32_t handle, int32_t mhz, double rssi, double* dbm) {
  TraceLine trace("refEpGetRssiDbm");
  trace.Number(handle).Number(mhz).Real(rssi);
  return OnHandle("refEpGetRssiDbm", handle, Peer::Reference, trace, [&](const Station&, Connection&, TraceLine& t) {
    if (dbm == nullptr || mhz < 0 || !InBand(static_cast<uint32_t>(mhz))) return 0;
    *dbm = DbmFromRssi(rssi);
    t.Out("dbm", std::to_string(*dbm));
    return 1;
  });
}
