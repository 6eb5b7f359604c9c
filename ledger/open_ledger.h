// The ledger a station uses: today the embedded one in the working directory.
#pragma once

#include <memory>

#include "ledger/ledger.h"

namespace ledger {

// btconfig.ini and production.db in the working directory.
std::unique_ptr<Ledger> OpenLedger();

}  // namespace ledger
