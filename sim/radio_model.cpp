#include "sim/radio_model.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace sim {

bool InBand(uint32_t mhz) { return mhz >= kLowestChannelMhz && mhz <= kHighestChannelMhz; }

double CarrierErrorPpm(const Station& station, std::string_view module, std::optional<uint16_t> trim) {
  std::string section = ModuleSection(module);
  double applied = trim ? *trim : static_cast<double>(station.Integer(section, "xtal_ftrim", 31));
  double error = (station.Real(section, "xtal_on_trim", 31.0) - applied) *
                 station.Real(section, "xtal_ppm_per_trim", 1.0);
  if (station.Integer(section, "chip_version", 0) == 7) {
    error -= kPpmPerOffsetUnit * static_cast<double>(station.Integer(section, "xtal_offset", 0));
  }
  return error;
}

int16_t CrystalOffsetFor(double nominalMhz, double measuredMhz) {
  double units = std::round((measuredMhz - nominalMhz) / nominalMhz * 1e6 / kPpmPerOffsetUnit);
  if (!(units >= INT16_MIN)) return INT16_MIN;  // also NaN
  if (units > INT16_MAX) return INT16_MAX;
  return static_cast<int16_t>(units);
}

double ReceivedLevelDbm(const Station& station, uint16_t mhz, bool carrier) {
  if (!carrier) return station.Real("reference", "noise_dbm", -100.0);
  double level = station.Real("reference", "level_dbm", -71.0);
  return station.Real("reference", "level_" + std::to_string(mhz), level);
}

uint16_t RssiFromDbm(double dbm) {
  double steps = std::round((dbm + 130.0) * 2.0);
  if (!(steps >= 0)) return 0;
  if (steps > 65535) return 65535;
  return static_cast<uint16_t>(steps);
}

double DbmFromRssi(double rssi) { return rssi / 2.0 - 130.0; }

}  // namespace sim

