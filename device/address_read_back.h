// Asking the module which address it holds after a write: when the write's
// answer leaves it unclear, and after every write when btconfig.ini asks.
#pragma once

#include <cstdint>

#include "ledger/ledger.h"
#include "vendor/test_engine.h"

namespace device {

// [verify] in btconfig.ini, read at each press:
//   address = on   every accepted write is read back (off: the write alone)
//   reset = on     with address = on, the chip is cold-reset before the read,
//                  so the read sees what the chip starts with, not what it was just told
struct VerifySettings {
  bool address = false;
  bool reset = false;
};
VerifySettings ReadVerifySettings();

enum class ReadBack {
  Holds,         // the module holds the address written
  Other,         // it holds another address: `*found`
  NoAnswer,      // psReadBdAddr failed
  ResetRefused,  // bccmdSetColdReset failed, so nothing was read
};

// Reads the address on the same module connection, after a cold reset when `reset`.
ReadBack ReadBackAddress(vendor::TestEngine& engine, uint32_t module, const ledger::BdAddress& written, bool reset,
                         ledger::BdAddress* found);

}  // namespace device
