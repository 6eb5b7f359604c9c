// TestEngine: radio tests run by a module (or the reference radio) and the
// codec loopback.
#include <cmath>
#include <string>

#include "sim/engine_state.h"
#include "sim/exported_api.h"
#include "sim/radio_model.h"

namespace sim {
namespace {

bool SupportedSampleRate(int32_t rate) {
  for (int32_t supported : {8000, 16000, 22050, 32000, 44100, 48000}) {
    if (rate == supported) return true;
  }
  return false;
}

int32_t StartReceiving(Connection& c, uint16_t mhz, TraceLine& t) {
  if (!InBand(mhz)) {
    t.Out("error", "outside the band");
    return 0;
  }
  c.transmitMhz.reset();
  c.receiveMhz = mhz;
  return 1;
}

}  // namespace
}  // namespace sim

using namespace sim;

int32_t radiotestTxstart(uint32_t handle, uint16_t mhz, int32_t power1, int32_t power2, int32_t modulation) {
  TraceLine trace("radiotestTxstart");
  trace.Number(handle).Number(mhz).Number(power1).Number(power2).Number(modulation);
  return OnHandle("radiotestTxstart", handle, Peer::Module, trace, [&](const Station&, Connection& c, TraceLine& t) {
    if (!InBand(mhz)) {
      t.Out("error", "outside the band");
      return 0;
    }
    c.receiveMhz.reset();
    c.transmitMhz = mhz;
    return 1;
  });
}

int32_t radiotestRxdata1(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation) {
  TraceLine trace("radiotestRxdata1");
  trace.Number(handle).Number(mhz).Number(highSide).Number(attenuation);
  return OnHandle("radiotestRxdata1", handle, Peer::Either, trace,
                  [&](const Station&, Connection& c, TraceLine& t) { return StartReceiving(c, mhz, t); });
}

int32_t radiotestRxstart2(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation, int32_t sampleSize) {
  TraceLine trace("radiotestRxstart2");
  trace.Number(handle).Number(mhz).Number(highSide).Number(attenuation).Number(sampleSize);
  return OnHandle("radiotestRxstart2", handle, Peer::Either, trace,
                  [&](const Station&, Connection& c, TraceLine& t) { return StartReceiving(c, mhz, t); });
}

int32_t radiotestCfgXtalFtrim(uint32_t handle, uint16_t trim) {
  TraceLine trace("radiotestCfgXtalFtrim");
  trace.Number(handle).Number(trim);
  return OnHandle("radiotestCfgXtalFtrim", handle, Peer::Module, trace, [&](const Station&, Connection& c, TraceLine& t) {
    // The trim is a setting of the running test: without one there is nothing to apply it to.
    if (trim > kHighestTrim || !c.transmitMhz) {
      t.Out("error", trim > kHighestTrim ? "trim out of range" : "no radio test running");
      return 0;
    }
    c.testTrim = trim;
    return 1;
  });
}

int32_t radiotestCalcXtalOffset(double nominalMhz, double measuredMhz, int16_t* offset) {
  return AtBoundary<int32_t>(0, [&] {
    Station station;
    TraceLine trace("radiotestCalcXtalOffset");
    trace.Real(nominalMhz).Real(measuredMhz);
    // No handle: only a rule for any module ("*") reaches this one.
    if (Strike(station, "radiotestCalcXtalOffset", "*")) return Traced(station, trace.Out("fault", "injected"), 0);
    if (offset == nullptr || !(nominalMhz > 0) || !std::isfinite(measuredMhz)) return Traced(station, trace, 0);
    *offset = CrystalOffsetFor(nominalMhz, measuredMhz);
    return Traced(station, trace.Out("offset", std::to_string(*offset)), 1);
  });
}

int32_t radiotestPause(uint32_t handle) {
  TraceLine trace("radiotestPause");
  trace.Number(handle);
  return OnHandle("radiotestPause", handle, Peer::Either, trace, [&](const Station&, Connection& c, TraceLine&) {
    c = Connection{c.peer, {}, {}, {}};
    return 1;
  });
}

int32_t radiotestStereoCodecLB(uint32_t handle, int32_t sampleRate, int32_t microphone) {
  TraceLine trace("radiotestStereoCodecLB");
  trace.Number(handle).Number(sampleRate).Number(microphone);
  return OnHandle("radiotestStereoCodecLB", handle, Peer::Module, trace, [&](const Station& station, Connection& c, TraceLine& t) {
    if (!SupportedSampleRate(sampleRate) || (microphone != 1 && microphone != 2)) {
      t.Out("error", "no such rate or microphone");
      return 0;
    }
    // 1 is the right microphone, 2 the left.
    const char* key = microphone == 1 ? "loopback_right" : "loopback_left";
    return station.Flag(ModuleSection(c.peer), key, true) ? 1 : 0;
  });
}
