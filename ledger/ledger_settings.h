// Which ledger btconfig.ini asks for: the section [ledger] names a server
// shared by several stations; without it the station keeps its own counter.
#pragma once

#include <string>

namespace ledger {

struct LedgerSettings {
  std::string url;      // [ledger] url: "postgresql://user@host:port/dbname"; empty: the embedded ledger
  std::string station;  // [ledger] station, else the host name: names this station's rows and count
};

// `settingsFile` is the GBK path of btconfig.ini.
LedgerSettings ReadLedgerSettings(const std::string& settingsFile);

}  // namespace ledger
