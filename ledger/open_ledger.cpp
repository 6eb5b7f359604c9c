#include "ledger/open_ledger.h"

#include "ledger/embedded/embedded_ledger.h"
#include "ledger/embedded/record_db.h"

namespace ledger {

std::unique_ptr<Ledger> OpenLedger() {
  return std::make_unique<EmbeddedLedger>("./btconfig.ini", std::string("./") + kRecordFile);
}

}  // namespace ledger
