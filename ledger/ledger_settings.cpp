#include "ledger/ledger_settings.h"

#include "platform/host_name.h"
#include "platform/profile_file.h"

namespace ledger {

LedgerSettings ReadLedgerSettings(const std::string& settingsFile) {
  LedgerSettings settings;
  settings.url = platform::ReadProfileString("ledger", "url", 1024, settingsFile);
  // Line PCs are often copies of one disk image, host name and all.
  settings.station = platform::ReadProfileString("ledger", "station", 128, settingsFile);
  if (settings.station.empty()) settings.station = platform::HostName();
  return settings;
}

}  // namespace ledger
