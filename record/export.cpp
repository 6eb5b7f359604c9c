#include "record/export.h"

#include <sstream>

#include "ledger/embedded/record_db.h"
#include "platform/replace_file.h"
#include "record/row_listing.h"

namespace record {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

constexpr const char* kHeader[] = {
    "id",      "time",  "station", "transport",     "slot",          "operation",       "result",
    "address", "state", "name",    "firmware_path", "firmware_size", "firmware_sha256", "duration_ms"};

// Column 7 of the header, the address, comes from the three columns nap, uap, lap.
constexpr const char* kSelect =
    "SELECT id, time, station, transport, slot, operation, result, nap, uap, lap, state, name, "
    "firmware_path, firmware_size, firmware_sha256, duration_ms FROM operations ORDER BY id";
constexpr int kNapColumn = 7;
constexpr int kColumns = 16;
// id, slot, firmware_size, duration_ms: numbers, written as they are, a minus sign and all.
constexpr bool kNumberColumn[kColumns] = {true,  false, false, false, true,  false, false, false,
                                          false, false, false, false, false, true,  false, true};

// An integer as SQLite gives one; a numeric column may still hold text in a record edited by hand.
bool IsInteger(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// What a spreadsheet takes for the start of a formula (a tab or CR before one, too).
bool StartsAsFormula(std::string_view text) {
  return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

}  // namespace

std::string CsvField(std::string_view text) {
  // A name typed as =HYPERLINK(...) must stay a name: the apostrophe makes
  // the spreadsheet show the cell as text, and is not shown itself.
  const bool formula = StartsAsFormula(text);
  // Quoted also when it starts or ends with a blank: the result texts end in
  // one, and some readers trim unquoted fields.
  bool quote =
      formula || text.find_first_of(",\"\r\n") != std::string_view::npos ||
      (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.back() == ' ' || text.back() == '\t'));
  if (!quote) return std::string(text);
  std::string field = formula ? "\"'" : "\"";
  for (char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  field += '"';
  return field;
}

std::optional<int64_t> WriteCsv(sqlite3* db, std::ostream& out) {
  // One statement reads one snapshot: rows a station adds meanwhile are left for the next export.
  ledger::Statement rows(db, kSelect);
  if (!rows.ok()) return std::nullopt;
  out << kByteOrderMark;
  const char* separator = "";
  for (const char* name : kHeader) {
    out << separator << name;
    separator = ",";
  }
  out << kLineEnd;

  int64_t count = 0;
  int step;
  while ((step = rows.Step()) == SQLITE_ROW) {
    for (int column = 0; column < kColumns; ++column) {
      if (column != 0) out << ',';
      if (column == kNapColumn) {
        out << AddressOf(rows, kNapColumn);
        column += 2;
      } else {
        const std::string text = rows.Text(column);
        out << (kNumberColumn[column] && IsInteger(text) ? text : CsvField(text));
      }
    }
    out << kLineEnd;
    ++count;
  }
  if (step != SQLITE_DONE) return std::nullopt;
  return count;
}

ExportResult ExportCsv(sqlite3* db, const std::string& path, int64_t* rows) {
  std::ostringstream csv;
  std::optional<int64_t> written = WriteCsv(db, csv);
  if (!written) return ExportResult::RecordUnreadable;
  if (!platform::ReplaceFileContents(path, csv.str(), platform::RenameSync::Now)) return ExportResult::FileNotWritten;
  if (rows != nullptr) *rows = *written;
  return ExportResult::Written;
}

}  // namespace record
