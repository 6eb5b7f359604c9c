// `tarnwick-record summary`: per local day, the modules addressed and the
// burns that passed and failed.
#pragma once

#include <sqlite3.h>

#include <ostream>
#include <string_view>

namespace record {

// False when the record could not be read to its end.
bool Summary(sqlite3* db, std::ostream& out);

// Whether a burn's result (its last text shown, UTF-8) is one of the roads' success texts.
bool BurnPassed(std::string_view result);

}  // namespace record
