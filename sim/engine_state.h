// What TestEngine keeps in the process between calls, and the common start of
// every call made on a handle.
#pragma once

#include <cstdint>
#include <mutex>
#include <string_view>

#include "sim/c_boundary.h"
#include "sim/call_trace.h"
#include "sim/fault_rules.h"
#include "sim/handle_table.h"
#include "sim/station.h"

namespace sim {

HandleTable& Handles();
std::mutex& EngineMutex();

// Whether the module or the reference radio behind a connection is still on the bench.
bool PeerPresent(const Station& station, std::string_view peer);

enum class Peer { Module, Reference, Either };

// Runs `body(station, connection, trace)` when the handle is open, its radio
// still there and of the kind needed, and no fault strikes; 0 otherwise.
template <typename Body>
int32_t OnHandle(std::string_view function, uint32_t handle, Peer need, TraceLine trace, Body&& body) {
  return AtBoundary<int32_t>(0, [&]() -> int32_t {
    std::lock_guard<std::mutex> lock(EngineMutex());
    Station station;
    Connection* connection = Handles().Find(handle);
    if (connection == nullptr) return Traced(station, trace.Out("error", "handle not open"), 0);
    bool reference = connection->peer == kReferenceRadio;
    if ((need == Peer::Module && reference) || (need == Peer::Reference && !reference)) {
      return Traced(station, trace.Out("error", "not on this radio"), 0);
    }
    if (!PeerPresent(station, connection->peer)) return Traced(station, trace.Out("error", "radio gone"), 0);
    if (Strike(station, function, connection->peer)) return Traced(station, trace.Out("fault", "injected"), 0);
    return Traced(station, trace, body(station, *connection, trace));
  });
}

}  // namespace sim
