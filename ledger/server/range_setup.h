// Setting up the line's address ranges on the server, once, by an engineer.
#pragma once

#include <cstdint>
#include <string>

#include "ledger/server/pg_session.h"

namespace ledger::server {

enum class RangeAdded { Added, Backwards, PastLastLap, Reserved, Overlaps, Unreachable, Refused };

struct RangeAddResult {
  RangeAdded outcome = RangeAdded::Refused;
  std::string detail;  // the overlapped range, or the server's words
};

// Adds NAP:UAP:first..last (inclusive), creating the ledger's tables when
// missing. Refuses a range that overlaps the reserved block or a range
// already there, under a lock, so that two engineers cannot both add one.
RangeAddResult AddRange(PgSession& session, uint32_t nap, uint32_t uap, uint32_t firstLap, uint32_t lastLap);

}  // namespace ledger::server
