// The floor: one Auto press's library calls on both devices made directly, in
// the order the handlers make them (each device's EEPROM burn, then each
// device's address write), with nothing of the program around them.
#pragma once

#include <cstdint>
#include <string>

#include "vendor/library_loader.h"

namespace bench {

class FloorLoop {
 public:
  FloorLoop(vendor::Libraries& libs, std::string transport1, std::string transport2, std::string firmware,
            uint32_t firstLap);
  // False when a library call failed.
  bool Press();

 private:
  bool Burn(const std::string& transport);
  bool WriteAddress(const std::string& transport);

  vendor::Libraries& libs_;
  std::string transports_[2];
  std::string firmware_;
  uint32_t lap_;
};

}  // namespace bench
