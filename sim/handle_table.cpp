#include "sim/handle_table.h"

namespace sim {

uint32_t HandleTable::Open(const std::string& peer) {
  uint32_t handle = 1;
  while (connections_.count(handle) != 0) ++handle;
  connections_[handle] = Connection{peer, {}, {}, {}};
  return handle;
}

bool HandleTable::Close(uint32_t handle) { return connections_.erase(handle) != 0; }

Connection* HandleTable::Find(uint32_t handle) {
  auto it = connections_.find(handle);
  return it == connections_.end() ? nullptr : &it->second;
}

std::vector<const Connection*> HandleTable::TransmittingOn(uint16_t mhz) const {
  std::vector<const Connection*> found;
  for (const auto& [handle, connection] : connections_) {
    if (connection.peer != kReferenceRadio && connection.transmitMhz == mhz) found.push_back(&connection);
  }
  return found;
}

void HandleTable::StopRadioTests(const std::string& peer) {
  for (auto& [handle, connection] : connections_) {
    if (connection.peer == peer) connection = Connection{peer, {}, {}, {}};
  }
}

}  // namespace sim
