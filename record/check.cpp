#include "record/check.h"

#include <cstdio>
#include <string>
#include <vector>

#include "ledger/address_range.h"
#include "ledger/embedded/record_db.h"
#include "ledger/ledger.h"
#include "record/record_file.h"
#include "record/row_listing.h"

namespace record {
namespace {

constexpr const char* kRowIndent = "    ";

// The states in which an address may be in a module: the ones the record's
// unique index keeps to one row per address.
constexpr const char* kHeldStates = "('written', 'pending', 'unknown')";

bool ListRows(ledger::Statement& rows, std::ostream& out) {
  ListHeader(out, kRowIndent);
  int step;
  while ((step = rows.Step()) == SQLITE_ROW) ListRow(rows, out, kRowIndent);
  return step == SQLITE_DONE;
}

std::string Plural(int64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

bool Duplicates(sqlite3* db, std::ostream& out, int64_t* found) {
  ledger::Statement addresses(db, std::string("SELECT nap, uap, lap, COUNT(*) FROM operations WHERE lap IS NOT NULL "
                                              "AND state IN ") +
                                      kHeldStates +
                                      " GROUP BY nap, uap, lap HAVING COUNT(*) > 1 ORDER BY nap, uap, lap");
  struct Duplicate {
    int64_t nap, uap, lap, rows;
  };
  std::vector<Duplicate> duplicates;
  int step;
  while ((step = addresses.Step()) == SQLITE_ROW) {
    duplicates.push_back({addresses.Int(0), addresses.Int(1), addresses.Int(2), addresses.Int(3)});
  }
  if (step != SQLITE_DONE) return false;
  *found = static_cast<int64_t>(duplicates.size());
  out << "duplicates: ";
  if (duplicates.empty()) {
    out << "none\n";
    return true;
  }
  out << Plural(*found, "address", "addresses") << " in more than one module\n";
  for (const Duplicate& d : duplicates) {
    out << "  "
        << ledger::AddressText(
               {static_cast<uint32_t>(d.nap), static_cast<uint32_t>(d.uap), static_cast<uint32_t>(d.lap)})
        << ": " << d.rows << " rows\n";
    ledger::Statement rows(db, std::string("SELECT ") + kListedColumns +
                                   " FROM operations WHERE nap = ?1 AND uap = ?2 AND lap = ?3 AND state IN " +
                                   kHeldStates + " ORDER BY id");
    rows.Bind(1, d.nap).Bind(2, d.uap).Bind(3, d.lap);
    if (!ListRows(rows, out)) return false;
  }
  return true;
}

bool Unknowns(sqlite3* db, std::ostream& out, int64_t* found) {
  ledger::Statement count(db, "SELECT COUNT(*) FROM operations WHERE state IN ('unknown', 'pending')");
  if (count.Step() != SQLITE_ROW) return false;
  *found = count.Int(0);
  out << "unknown outcomes: ";
  if (*found == 0) {
    out << "none\n";
    return true;
  }
  out << Plural(*found, "address write", "address writes")
      << " whose module may or may not hold its address (pending: its program died, or is writing it now)\n";
  ledger::Statement rows(db, std::string("SELECT ") + kListedColumns +
                                 " FROM operations WHERE state IN ('unknown', 'pending') ORDER BY id");
  return ListRows(rows, out);
}

std::string LapText(uint32_t lap) {
  char text[16];
  snprintf(text, sizeof text, "%06x", lap);
  return text;
}

struct LapRange {
  int64_t nap, uap;
  uint32_t first, last;   // never handed out, both ends included
  uint32_t below, above;  // the handed-out LAPs around it
};

// [first, last] without the reserved block, which no module may take.
void AddOutsideReserved(LapRange range, std::vector<LapRange>* gaps) {
  if (range.last < ledger::kReservedLapFirst || range.first > ledger::kReservedLapLast) {
    gaps->push_back(range);
    return;
  }
  if (range.first < ledger::kReservedLapFirst) {
    LapRange before = range;
    before.last = ledger::kReservedLapFirst - 1;
    gaps->push_back(before);
  }
  if (range.last > ledger::kReservedLapLast) {
    LapRange after = range;
    after.first = ledger::kReservedLapLast + 1;
    gaps->push_back(after);
  }
}

bool Gaps(sqlite3* db, std::ostream& out, int64_t* found) {
  // Every address-write row with a state took its LAP from the counter, whatever became of it.
  ledger::Statement laps(db,
                         "SELECT DISTINCT nap, uap, lap FROM operations WHERE lap IS NOT NULL AND state IS NOT NULL "
                         "ORDER BY nap, uap, lap");
  std::vector<LapRange> gaps;
  bool have = false;
  int64_t nap = 0, uap = 0, lap = 0;
  int step;
  while ((step = laps.Step()) == SQLITE_ROW) {
    int64_t nextNap = laps.Int(0), nextUap = laps.Int(1), nextLap = laps.Int(2);
    if (have && nextNap == nap && nextUap == uap && nextLap > lap + 1) {
      AddOutsideReserved({nap, uap, static_cast<uint32_t>(lap + 1), static_cast<uint32_t>(nextLap - 1),
                          static_cast<uint32_t>(lap), static_cast<uint32_t>(nextLap)},
                         &gaps);
    }
    have = true;
    nap = nextNap;
    uap = nextUap;
    lap = nextLap;
  }
  if (step != SQLITE_DONE) return false;
  *found = static_cast<int64_t>(gaps.size());
  out << "gaps: ";
  if (gaps.empty()) {
    out << "none\n";
    return true;
  }
  out << Plural(*found, "range", "ranges") << " of addresses never handed out\n";
  for (const LapRange& gap : gaps) {
    const std::string first =
        ledger::AddressText({static_cast<uint32_t>(gap.nap), static_cast<uint32_t>(gap.uap), gap.first});
    out << "  " << first << (gap.first == gap.last ? "" : "-" + LapText(gap.last)) << ": "
        << Plural(int64_t{gap.last} - gap.first + 1, "address", "addresses") << ", between\n";
    ledger::Statement rows(db, std::string("SELECT ") + kListedColumns +
                                   " FROM operations WHERE nap = ?1 AND uap = ?2 AND lap IN (?3, ?4) "
                                   "AND state IS NOT NULL ORDER BY lap, id");
    rows.Bind(1, gap.nap).Bind(2, gap.uap).Bind(3, int64_t{gap.below}).Bind(4, int64_t{gap.above});
    if (!ListRows(rows, out)) return false;
  }
  return true;
}

}  // namespace

CheckFindings Check(sqlite3* db, std::ostream& out) {
  CheckFindings findings;
  ReadSnapshot snapshot(db);
  findings.read = Duplicates(db, out, &findings.duplicateAddresses) && Unknowns(db, out, &findings.unknownRows) &&
                  Gaps(db, out, &findings.gapRanges);
  return findings;
}

}  // namespace record
