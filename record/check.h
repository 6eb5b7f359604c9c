// `tarnwick-record check`: what a line must look at in its record.
// - duplicates: one address held by more than one row that may be in a module
//   (written, pending or unknown); the one thing that must never happen;
// - unknown outcomes: address writes whose result no program knows (unknown,
//   or pending: a program died, or one is writing that module just now);
// - gaps: LAPs inside the range handed out at a NAP:UAP that no row ever took.
// Each finding is listed with its rows.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <ostream>

namespace record {

struct CheckFindings {
  bool read = false;  // false: a query failed and the findings are incomplete
  int64_t duplicateAddresses = 0;
  int64_t unknownRows = 0;
  int64_t gapRanges = 0;
};

CheckFindings Check(sqlite3* db, std::ostream& out);

}  // namespace record
