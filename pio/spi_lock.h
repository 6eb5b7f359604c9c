// Button 1034: locks the SPI port of the module on each ticked device under our
// customer key and reports the lock state the chip reads back.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "dialog/dialog_services.h"
#include "vendor/test_engine.h"

namespace pio {

// The one key every module is locked with.
inline constexpr std::array<uint32_t, 4> kCustomerKey = {0x7A3C19E5u, 0x0B64D2F1u, 0xC58E4A07u, 0x9D21F6B3u};

class SpiLock {
 public:
  SpiLock(dialog::DialogServices& dialog, vendor::TestEngine& engine) : dialog_(dialog), engine_(engine) {}

  void OnLock();
  // The whole sequence on one device; one message when the device opened.
  void LockSpiPort(std::string transport);

 private:
  dialog::DialogServices& dialog_;
  vendor::TestEngine& engine_;
};

}  // namespace pio
