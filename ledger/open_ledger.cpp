#include "ledger/open_ledger.h"

#include "ledger/embedded/embedded_ledger.h"
#include "ledger/embedded/record_db.h"
#include "ledger/ledger_settings.h"
#include "ledger/no_server_ledger.h"
#ifdef TARNWICK_SERVER_LEDGER
#include "ledger/server/server_ledger.h"
#endif

namespace ledger {

std::unique_ptr<Ledger> OpenLedger() {
  const std::string settingsFile = "./btconfig.ini";
  LedgerSettings settings = ReadLedgerSettings(settingsFile);
  if (settings.url.empty()) return std::make_unique<EmbeddedLedger>(settingsFile);
#ifdef TARNWICK_SERVER_LEDGER
  return std::make_unique<server::ServerLedger>(settingsFile, std::move(settings),
                                                std::string("./") + server::kOutboxFile);
#else
  return std::make_unique<NoServerLedger>();
#endif
}

}  // namespace ledger
