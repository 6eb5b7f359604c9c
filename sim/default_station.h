// The station a new working folder starts with: two adapters, a BC5 and a BC7
// module, every memory fitted, a reference radio, no faults.
#pragma once

#include <string>

namespace sim {

std::string DefaultStationText();

}  // namespace sim
