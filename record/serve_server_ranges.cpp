// The address ranges kept on the line's server, for the dashboard.
#include "record/serve_source.h"

#ifdef TARNWICK_SERVER_LEDGER
#include "ledger/server/pg_session.h"
#endif

namespace record {

#ifdef TARNWICK_SERVER_LEDGER

bool ServerRanges(const std::string& url, std::vector<AddressRange>* ranges, std::string* error) {
  ledger::server::PgSession session(url);
  if (!session.Connect()) {
    *error = "cannot reach the ledger's server: " + session.error();
    return false;
  }
  ledger::server::Result rows =
      session.Run("SELECT nap, uap, first_lap, last_lap, next_lap FROM address_ranges ORDER BY nap, uap, first_lap");
  if (!rows) {
    *error = "cannot read the server's address ranges: " + session.error();
    return false;
  }
  for (int row = 0, n = PQntuples(rows.get()); row < n; ++row) {
    const auto number = [&](int column) { return static_cast<uint32_t>(std::stoul(PQgetvalue(rows.get(), row, column))); };
    AddressRange range;
    range.nap = number(0);
    range.uap = number(1);
    range.firstLap = number(2);
    range.lastLap = number(3);
    range.nextLap = number(4);
    ranges->push_back(range);
  }
  return true;
}

#else

bool ServerRanges(const std::string&, std::vector<AddressRange>*, std::string* error) {
  *error = "this build of tarnwick-record has no server ledger ([ledger] url in btconfig.ini)";
  return false;
}

#endif

}  // namespace record
