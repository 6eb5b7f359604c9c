// How the module's carrier and the reference radio's readings follow the
// station file: the carrier error follows the crystal trim (and, on a BC7, the
// stored crystal offset); the received level is set per frequency.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "sim/station.h"

namespace sim {

constexpr uint16_t kLowestChannelMhz = 2402;
constexpr uint16_t kHighestChannelMhz = 2480;
constexpr uint16_t kHighestTrim = 63;
// One unit of the stored crystal offset moves the carrier by this much.
constexpr double kPpmPerOffsetUnit = 0.1;

bool InBand(uint32_t mhz);

// The carrier error in ppm with `trim` applied (the stored trim when none is
// given); positive means the module is too high.
double CarrierErrorPpm(const Station& station, std::string_view module, std::optional<uint16_t> trim);

// The offset value that cancels the error between nominal and measured
// frequency, saturated to 16 bits.
int16_t CrystalOffsetFor(double nominalMhz, double measuredMhz);

// The level the reference radio receives at `mhz` from a transmitting module,
// or its noise floor when nothing transmits there.
double ReceivedLevelDbm(const Station& station, uint16_t mhz, bool carrier);

// RSSI samples are half-dB steps above -130 dBm; the reference converts back.
uint16_t RssiFromDbm(double dbm);
double DbmFromRssi(double rssi);

}  // namespace sim
