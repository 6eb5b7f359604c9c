#include "sim/engine_state.h"

namespace sim {

HandleTable& Handles() {
  static HandleTable table;
  return table;
}

std::mutex& EngineMutex() {
  static std::mutex mutex;
  return mutex;
}

bool PeerPresent(const Station& station, std::string_view peer) {
  if (peer == kReferenceRadio) return station.Flag("reference", "present", false);
  return station.ModulePresent(peer);
}

}  // namespace sim
