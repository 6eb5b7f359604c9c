#include "record/summary.h"

#include <cstdint>
#include <iomanip>
#include <map>
#include <string>

#include "ledger/embedded/record_db.h"
#include "ledger/operation_row.h"
#include "record/row_listing.h"

namespace record {
namespace {

// The success texts of the EEPROM road and of the tool's SPI flash road.
constexpr std::string_view kBurnPassed[] = {"烧录BIN to EEPROM成功! ", "flash烧录完成!"};
// The parallel flash road reports "flash烧录完成!" and then the download
// time, which is the last text shown and so the row's result.
constexpr std::string_view kDownloadTimeBefore = "下载时间: ";
constexpr std::string_view kDownloadTimeAfter = "毫秒";

struct Day {
  int64_t addressed = 0;
  int64_t burnsPassed = 0;
  int64_t burnsFailed = 0;
};

bool DownloadTime(std::string_view result) {
  if (!result.starts_with(kDownloadTimeBefore) || !result.ends_with(kDownloadTimeAfter)) return false;
  std::string_view number =
      result.substr(kDownloadTimeBefore.size(), result.size() - kDownloadTimeBefore.size() - kDownloadTimeAfter.size());
  if (number.starts_with('-')) number.remove_prefix(1);  // the library could not tell the time
  if (number.empty()) return false;
  for (char c : number) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

void Line(std::ostream& out, const std::string& day, const Day& counts) {
  out << std::left << std::setw(10) << Printable(day) << std::right << "  " << std::setw(9) << counts.addressed << "  "
      << std::setw(12) << counts.burnsPassed << "  " << std::setw(12) << counts.burnsFailed << '\n';
}

}  // namespace

bool BurnPassed(std::string_view result) {
  for (std::string_view passed : kBurnPassed) {
    if (result == passed) return true;
  }
  return DownloadTime(result);
}

bool Summary(sqlite3* db, std::ostream& out) {
  // The day is the date of the local time each row was started at.
  ledger::Statement rows(db,
                         "SELECT substr(time, 1, 10) AS day, operation, result, COUNT(*) FROM operations "
                         "WHERE (operation = ?1 AND state = 'written') OR operation = ?2 "
                         "GROUP BY day, operation, result ORDER BY day");
  rows.Bind(1, ledger::kAddressWrite).Bind(2, ledger::kBurn);
  std::map<std::string, Day> days;
  int step;
  while ((step = rows.Step()) == SQLITE_ROW) {
    Day& day = days[rows.Text(0)];
    int64_t count = rows.Int(3);
    if (rows.Text(1) == ledger::kAddressWrite) {
      day.addressed += count;
    } else if (BurnPassed(rows.Text(2))) {
      day.burnsPassed += count;
    } else {
      day.burnsFailed += count;
    }
  }
  if (step != SQLITE_DONE) return false;

  out << std::left << std::setw(10) << "day" << std::right << "  " << std::setw(9) << "addressed"
      << "  " << std::setw(12) << "burns passed"
      << "  " << std::setw(12) << "burns failed" << '\n';
  Day all;
  for (const auto& [day, counts] : days) {
    Line(out, day, counts);
    all.addressed += counts.addressed;
    all.burnsPassed += counts.burnsPassed;
    all.burnsFailed += counts.burnsFailed;
  }
  Line(out, "all days", all);
  return true;
}

}  // namespace record
