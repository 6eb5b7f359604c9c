// Which programming adapters the chip libraries see, split into device 1 and device 2.
#pragma once

#include <string>

#include "vendor/test_engine.h"
#include "vendor/test_flash.h"

namespace app {

struct PortAnswer {
  bool asked = false;       // false when no library was asked (parallel flash alone)
  bool twoDevices = false;  // both lists held a comma
  std::string device1Name, device2Name;
  std::string device1Transport, device2Transport;
};

// Asks TestFlash when `askFlash`, then TestEngine when `askEngine` (the second
// answer stands), retrying once with the length the library asks for. With
// three or more adapters device 2 takes the last and device 1 the rest.
PortAnswer AskAvailablePorts(bool askFlash, bool askEngine, vendor::TestFlash& flash, vendor::TestEngine& engine);

}  // namespace app
