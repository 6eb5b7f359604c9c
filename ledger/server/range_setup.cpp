#include "ledger/server/range_setup.h"

#include <cstdio>
#include <cstdlib>

#include "ledger/address_range.h"
#include "ledger/server/server_schema.h"

namespace ledger::server {
namespace {

RangeAddResult Said(RangeAdded outcome, std::string detail) { return {outcome, std::move(detail)}; }

RangeAddResult ServerSaid(PgSession& session) {
  return Said(session.Up() ? RangeAdded::Refused : RangeAdded::Unreachable, session.error());
}

}  // namespace

RangeAddResult AddRange(PgSession& session, uint32_t nap, uint32_t uap, uint32_t firstLap, uint32_t lastLap) {
  if (firstLap > lastLap) return Said(RangeAdded::Backwards, "");
  if (lastLap > kLastLap) return Said(RangeAdded::PastLastLap, "");
  if (firstLap <= kReservedLapLast && lastLap >= kReservedLapFirst) return Said(RangeAdded::Reserved, "");
  if (!session.Connect()) return ServerSaid(session);
  if (!session.Execute(kServerSchema) || !session.Execute("BEGIN") ||
      !session.Execute("LOCK TABLE address_ranges IN EXCLUSIVE MODE")) {
    return ServerSaid(session);
  }
  const std::vector<Param> params = {std::to_string(nap), std::to_string(uap), std::to_string(firstLap),
                                     std::to_string(lastLap)};
  Result overlap = session.Run(
      "SELECT nap, uap, first_lap, last_lap FROM address_ranges "
      "WHERE nap = $1 AND uap = $2 AND first_lap <= $4 AND last_lap >= $3 ORDER BY first_lap LIMIT 1",
      params);
  if (!overlap) return ServerSaid(session);
  if (PQntuples(overlap.get()) == 1) {
    char text[64];
    auto field = [&](int column) { return static_cast<unsigned>(std::strtoul(PQgetvalue(overlap.get(), 0, column), nullptr, 10)); };
    snprintf(text, sizeof text, "%04x %02x %06x %06x", field(0), field(1), field(2), field(3));
    session.Execute("ROLLBACK");
    return Said(RangeAdded::Overlaps, text);
  }
  if (!session.Run("INSERT INTO address_ranges (nap, uap, first_lap, last_lap, next_lap) VALUES ($1, $2, $3, $4, $3)",
                   params) ||
      !session.Execute("COMMIT")) {
    RangeAddResult failed = ServerSaid(session);
    session.Execute("ROLLBACK");
    return failed;
  }
  return Said(RangeAdded::Added, "");
}

}  // namespace ledger::server
