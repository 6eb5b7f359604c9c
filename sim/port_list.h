// The adapter enumeration shared by TestEngine and TestFlash: the names and
// the transports as two comma-joined texts, in the station's order.
#pragma once

#include <cstdint>

#include "sim/call_trace.h"
#include "sim/station.h"

namespace sim {

// 1 with both texts and the count written; 0 when a buffer is missing or too
// short, with *length set to the size that fits both texts and their ends.
int32_t ListSpiPorts(const Station& station, uint16_t* length, char* names, char* transports, uint16_t* count,
                     TraceLine* trace);

}  // namespace sim
