// The ledger a station uses, as btconfig.ini in the working directory asks.
#pragma once

#include <memory>

#include "ledger/ledger.h"

namespace ledger {

// With [ledger] url: the line's server (or, in a build without it, a ledger
// that refuses every address). Without: btconfig.ini in the working
// directory, its lock and production.db beside the file it leads to.
std::unique_ptr<Ledger> OpenLedger();

}  // namespace ledger
