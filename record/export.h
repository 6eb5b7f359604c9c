// `tarnwick-record export`: the whole record as a CSV file a spreadsheet opens
// with its Chinese texts intact: UTF-8 with a byte-order mark, a header row,
// CRLF line ends, one row per module operation, oldest first.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace record {

// The rows written; nothing when the record could not be read to its end.
std::optional<int64_t> WriteCsv(sqlite3* db, std::ostream& out);

enum class ExportResult {
  Written,
  RecordUnreadable,  // a query failed: nothing was written
  FileNotWritten,    // the file could not be made; an old file of that name is unchanged
};

// The CSV into the file `path` (native name), replacing it whole: a failed
// export never leaves a half-written file behind a spreadsheet's back.
ExportResult ExportCsv(sqlite3* db, const std::string& path, int64_t* rows = nullptr);

// One text field as RFC 4180 wants it, quoted when it must be. A text that
// begins with =, +, -, @, a tab or a CR, which a spreadsheet would run as a
// formula, is quoted with an apostrophe in front, so it shows as text.
// Numbers of the numeric columns never come here.
std::string CsvField(std::string_view text);

}  // namespace record
