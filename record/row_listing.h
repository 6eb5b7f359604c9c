// How the record's rows are listed under a finding: one line per row, the
// columns an operator needs to find the module again.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "ledger/embedded/record_db.h"

namespace record {

// The columns a listed row is selected with, in this order.
inline constexpr const char* kListedColumns = "id, time, station, slot, nap, uap, lap, state, result";

void ListHeader(std::ostream& out, std::string_view indent);
// The current row of a statement that selected kListedColumns.
void ListRow(const ledger::Statement& row, std::ostream& out, std::string_view indent);

// "0002:5b:00a1ff" from the three columns from `napColumn` on; empty when the row has no address.
std::string AddressOf(const ledger::Statement& row, int napColumn);

// The text with control characters spelled out (\n, \r, \t, \xNN), so that
// what a row holds cannot break the listing or drive the terminal.
std::string Printable(std::string_view text);

}  // namespace record
