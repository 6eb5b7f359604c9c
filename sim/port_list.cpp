#include "sim/port_list.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace sim {

int32_t ListSpiPorts(const Station& station, uint16_t* length, char* names, char* transports, uint16_t* count,
                     TraceLine* trace) {
  if (length == nullptr) return 0;
  trace->Number(*length);
  std::string nameList, transportList;
  uint16_t adapters = 0;
  for (const Adapter& adapter : station.Adapters()) {
    if (adapters > 0) {
      nameList += ",";
      transportList += ",";
    }
    nameList += adapter.name;
    transportList += adapter.transport;
    ++adapters;
  }
  size_t needed = std::max(nameList.size(), transportList.size()) + 1;
  if (needed > UINT16_MAX) return 0;
  if (*length < needed) {
    *length = static_cast<uint16_t>(needed);
    trace->Out("length", std::to_string(needed));
    return 0;
  }
  if (names == nullptr || transports == nullptr || count == nullptr) return 0;
  std::memcpy(names, nameList.c_str(), nameList.size() + 1);
  std::memcpy(transports, transportList.c_str(), transportList.size() + 1);
  *count = adapters;
  trace->Out("names", "\"" + nameList + "\"").Out("transports", "\"" + transportList + "\"");
  trace->Out("count", std::to_string(adapters));
  return 1;
}

}  // namespace sim
