// What the simulated modules accepted, read from the station's call trace.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace station {

// The LAPs that modules accepted under NAP 0002 and UAP 5b, in order, from
// lines such as "psWriteBdAddr(1, 0xa1ff, 0x5b, 0x2) = 1".
inline std::vector<uint32_t> AcceptedLaps(const std::string& path = "station/trace.log") {
  std::ifstream trace(path);
  std::vector<uint32_t> laps;
  for (std::string line; std::getline(trace, line);) {
    if (line.rfind("psWriteBdAddr(", 0) != 0 || line.find(", 0x5b, 0x2) = 1") == std::string::npos) continue;
    laps.push_back(static_cast<uint32_t>(std::stoul(line.substr(line.find(", 0x") + 4), nullptr, 16)));
  }
  return laps;
}

}  // namespace station
