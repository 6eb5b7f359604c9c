#include "record/serve_view.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "ledger/address_range.h"
#include "ledger/embedded/record_db.h"
#include "ledger/operation_row.h"
#include "record/row_listing.h"
#include "record/serve_json.h"
#include "record/serve_time.h"
#include "record/summary.h"

namespace record {
namespace {

constexpr int kLatestRows = 50;
// The upper ends of the cycle-time histogram's bins, in milliseconds; the last bin has none.
constexpr int64_t kCycleBinsMs[] = {100, 200, 500, 1000, 2000, 5000, 10000, 20000, 60000};
constexpr size_t kCycleBins = std::size(kCycleBinsMs) + 1;

// Written exactly as the record's unique index reads, so that SQLite may take the index.
constexpr const char* kHeldStates = "state IN ('pending', 'written', 'unknown')";
constexpr const char* kRowColumns = "id, time, station, slot, operation, result, nap, uap, lap, state, name, duration_ms";

struct HourCounts {
  int64_t addressed = 0;
  int64_t burnsPassed = 0;
  int64_t burnsFailed = 0;
};

struct Failure {
  std::string operation, result;
  int64_t count = 0;
};

bool Failed(const std::string& error, std::string* out) {
  *out = error;
  return false;
}

void Yield(JsonWriter& json, const HourCounts& counts) {
  const int64_t burns = counts.burnsPassed + counts.burnsFailed;
  json.Key("yield");
  if (burns == 0) {
    json.Null();
  } else {
    json.Number(static_cast<double>(counts.burnsPassed) / static_cast<double>(burns));
  }
}

void Counts(JsonWriter& json, const HourCounts& counts) {
  json.Key("addressed").Number(counts.addressed);
  json.Key("burnsPassed").Number(counts.burnsPassed);
  json.Key("burnsFailed").Number(counts.burnsFailed);
  Yield(json, counts);
}

// One row of a statement that selected kRowColumns.
void Row(JsonWriter& json, const ledger::Statement& row) {
  json.BeginObject();
  json.Key("id").Number(row.Int(0));
  json.Key("time").String(row.Text(1));
  json.Key("station").String(row.Text(2));
  json.Key("slot").Number(row.Int(3));
  json.Key("operation").String(row.Text(4));
  json.Key("result").String(row.Text(5));
  const std::string address = AddressOf(row, 6);
  json.Key("address");
  address.empty() ? json.Null() : json.String(address);
  json.Key("state");
  row.IsNull(9) ? json.Null() : json.String(row.Text(9));
  json.Key("name");
  row.IsNull(10) ? json.Null() : json.String(row.Text(10));
  json.Key("durationMs").Number(row.Int(11));
  json.EndObject();
}

bool Rows(JsonWriter& json, ledger::Statement& rows) {
  json.BeginArray();
  int step;
  while ((step = rows.Step()) == SQLITE_ROW) Row(json, rows);
  json.EndArray();
  return step == SQLITE_DONE;
}

// Per hour and station the modules addressed and the burns passed and
// failed; and every failed address write and burn, by its result text.
bool Production(sqlite3* db, const ViewQuery& query, JsonWriter& json, std::string* error) {
  ledger::Statement rows(db,
                         "SELECT substr(time, 1, 13) AS hour, station, operation, state, result, COUNT(*) "
                         "FROM operations WHERE time >= ?1 AND time < ?2 AND operation IN (?3, ?4) "
                         "GROUP BY hour, station, operation, state, result");
  rows.Bind(1, query.from).Bind(2, query.to).Bind(3, ledger::kAddressWrite).Bind(4, ledger::kBurn);
  std::map<std::pair<std::string, std::string>, HourCounts> hours;
  std::map<std::pair<std::string, std::string>, int64_t> failures;
  std::set<std::string> stations;
  HourCounts total;
  int step;
  while ((step = rows.Step()) == SQLITE_ROW) {
    const std::string station = rows.Text(1);
    stations.insert(station);
    if (!query.station.empty() && station != query.station) continue;
    HourCounts& hour = hours[{rows.Text(0), station}];
    const std::string operation = rows.Text(2), result = rows.Text(4);
    const int64_t count = rows.Int(5);
    if (operation == ledger::kAddressWrite) {
      const std::string state = rows.Text(3);
      if (state == "written") {
        hour.addressed += count;
        total.addressed += count;
      } else if (rows.IsNull(3) || state == "failed") {
        // Failed in the module, or refused before any module was touched.
        failures[{operation, result}] += count;
      }
    } else if (BurnPassed(result)) {
      hour.burnsPassed += count;
      total.burnsPassed += count;
    } else {
      hour.burnsFailed += count;
      total.burnsFailed += count;
      failures[{operation, result}] += count;
    }
  }
  if (step != SQLITE_DONE) return Failed(sqlite3_errmsg(db), error);

  json.Key("stations").BeginArray();
  for (const std::string& station : stations) json.String(station);
  json.EndArray();
  json.Key("totals").BeginObject();
  Counts(json, total);
  json.EndObject();
  json.Key("hours").BeginArray();
  for (const auto& [key, counts] : hours) {
    json.BeginObject();
    json.Key("hour").String(key.first + ":00");
    json.Key("station").String(key.second);
    Counts(json, counts);
    json.EndObject();
  }
  json.EndArray();

  std::vector<Failure> pareto;
  for (const auto& [key, count] : failures) pareto.push_back({key.first, key.second, count});
  std::stable_sort(pareto.begin(), pareto.end(), [](const Failure& a, const Failure& b) { return a.count > b.count; });
  json.Key("pareto").BeginArray();
  for (const Failure& failure : pareto) {
    json.BeginObject();
    json.Key("operation").String(failure.operation);
    json.Key("result").String(failure.result);
    json.Key("count").Number(failure.count);
    json.EndObject();
  }
  json.EndArray();
  return true;
}

int64_t Percentile(const std::vector<int64_t>& sorted, int percent) {
  const size_t at = (sorted.size() - 1) * static_cast<size_t>(percent) / 100;
  return sorted[at];
}

// The spread of each operation's durations in the window.
bool CycleTimes(sqlite3* db, const ViewQuery& query, JsonWriter& json, std::string* error) {
  ledger::Statement rows(db,
                         "SELECT operation, duration_ms FROM operations WHERE time >= ?1 AND time < ?2 "
                         "AND (?3 = '' OR station = ?3) ORDER BY operation, duration_ms");
  rows.Bind(1, query.from).Bind(2, query.to).Bind(3, query.station);
  std::map<std::string, std::vector<int64_t>> durations;
  int step;
  while ((step = rows.Step()) == SQLITE_ROW) durations[rows.Text(0)].push_back(rows.Int(1));
  if (step != SQLITE_DONE) return Failed(sqlite3_errmsg(db), error);

  json.Key("cycleBinsMs").BeginArray();
  for (int64_t edge : kCycleBinsMs) json.Number(edge);
  json.EndArray();
  json.Key("cycleTimes").BeginArray();
  for (const auto& [operation, sorted] : durations) {
    int64_t bins[kCycleBins] = {};
    for (int64_t ms : sorted) {
      size_t bin = 0;
      while (bin < std::size(kCycleBinsMs) && ms >= kCycleBinsMs[bin]) ++bin;
      ++bins[bin];
    }
    json.BeginObject();
    json.Key("operation").String(operation);
    json.Key("count").Number(static_cast<int64_t>(sorted.size()));
    json.Key("minMs").Number(sorted.front());
    json.Key("medianMs").Number(Percentile(sorted, 50));
    json.Key("p90Ms").Number(Percentile(sorted, 90));
    json.Key("maxMs").Number(sorted.back());
    json.Key("bins").BeginArray();
    for (int64_t count : bins) json.Number(count);
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  return true;
}

std::string Hex(uint32_t value, int digits) {
  char text[16];
  snprintf(text, sizeof text, "%0*x", digits, value);
  return text;
}

// Used, left, and when the range runs out at the rate of the last hour.
bool Ranges(sqlite3* db, const std::vector<AddressRange>& ranges, const std::string& now, JsonWriter& json,
            std::string* error) {
  const std::optional<int64_t> nowSeconds = ParseLocalTime(now);
  const std::string hourAgo = nowSeconds ? LocalTimeFromSeconds(*nowSeconds - 3600) : now;
  json.Key("ranges").BeginArray();
  for (const AddressRange& range : ranges) {
    const int64_t first = range.firstLap.value_or(0);
    // Every address-write row with a state took its LAP from the counter; a
    // failed write's LAP may be given again, so LAPs are counted, not rows.
    ledger::Statement taken(db,
                            "SELECT COUNT(DISTINCT lap), COUNT(DISTINCT CASE WHEN time >= ?5 AND time <= ?6 THEN lap END) "
                            "FROM operations "
                            "WHERE nap = ?1 AND uap = ?2 AND lap BETWEEN ?3 AND ?4 AND state IS NOT NULL");
    taken.Bind(1, int64_t{range.nap}).Bind(2, int64_t{range.uap}).Bind(3, first).Bind(4, int64_t{range.lastLap});
    taken.Bind(5, hourAgo).Bind(6, now);
    if (taken.Step() != SQLITE_ROW) return Failed(sqlite3_errmsg(db), error);
    const int64_t left =
        range.nextLap > range.lastLap ? 0 : UsableLaps(range.nextLap, range.lastLap);
    const int64_t lastHour = taken.Int(1);
    json.BeginObject();
    json.Key("nap").String(Hex(range.nap, 4));
    json.Key("uap").String(Hex(range.uap, 2));
    json.Key("firstLap");
    range.firstLap ? json.String(Hex(*range.firstLap, 6)) : json.Null();
    json.Key("lastLap").String(Hex(range.lastLap, 6));
    json.Key("nextLap");
    range.nextLap > range.lastLap ? json.Null() : json.String(Hex(range.nextLap, 6));
    json.Key("used").Number(taken.Int(0));
    json.Key("left").Number(left);
    json.Key("lastHour").Number(lastHour);
    json.Key("runsOutAt");
    if (left == 0) {
      json.String(now);
    } else if (lastHour == 0 || !nowSeconds) {
      json.Null();
    } else {
      json.String(LocalTimeFromSeconds(*nowSeconds + left * 3600 / lastHour));
    }
    json.EndObject();
  }
  json.EndArray();
  return true;
}

// What `tarnwick-record check` warns of first: an address in two modules,
// and address writes whose outcome no program knows.
bool Findings(sqlite3* db, JsonWriter& json, std::string* error) {
  // While the record's unique index stands, no address can be held twice:
  // the whole record need not be grouped to find none.
  ledger::Statement index(db, "SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = 'one_module_per_address'");
  const int indexed = index.Step();
  if (indexed != SQLITE_ROW && indexed != SQLITE_DONE) return Failed(sqlite3_errmsg(db), error);
  const std::string grouped = std::string("SELECT nap, uap, lap FROM operations WHERE lap IS NOT NULL AND ") +
                              kHeldStates + " GROUP BY nap, uap, lap HAVING COUNT(*) > 1 ORDER BY nap, uap, lap";
  ledger::Statement addresses(db, indexed == SQLITE_ROW ? "SELECT 0, 0, 0 WHERE 0" : grouped);
  std::vector<std::tuple<int64_t, int64_t, int64_t>> duplicates;
  int step;
  while ((step = addresses.Step()) == SQLITE_ROW) {
    duplicates.emplace_back(addresses.Int(0), addresses.Int(1), addresses.Int(2));
  }
  if (step != SQLITE_DONE) return Failed(sqlite3_errmsg(db), error);
  json.Key("check").BeginObject();
  json.Key("duplicates").BeginArray();
  for (const auto& [nap, uap, lap] : duplicates) {
    ledger::Statement rows(db, std::string("SELECT ") + kRowColumns +
                                   " FROM operations WHERE nap = ?1 AND uap = ?2 AND lap = ?3 AND " + kHeldStates +
                                   " ORDER BY id");
    rows.Bind(1, nap).Bind(2, uap).Bind(3, lap);
    json.BeginObject();
    json.Key("address").String(Hex(static_cast<uint32_t>(nap), 4) + ":" + Hex(static_cast<uint32_t>(uap), 2) + ":" +
                               Hex(static_cast<uint32_t>(lap), 6));
    json.Key("rows");
    if (!Rows(json, rows)) return Failed(sqlite3_errmsg(db), error);
    json.EndObject();
  }
  json.EndArray();
  ledger::Statement unknown(db, std::string("SELECT ") + kRowColumns +
                                    " FROM operations WHERE state IN ('unknown', 'pending') ORDER BY id");
  json.Key("unknown");
  if (!Rows(json, unknown)) return Failed(sqlite3_errmsg(db), error);
  json.EndObject();
  return true;
}

bool Latest(sqlite3* db, const ViewQuery& query, JsonWriter& json, std::string* error) {
  ledger::Statement rows(db, std::string("SELECT ") + kRowColumns +
                                 " FROM operations WHERE time >= ?1 AND time < ?2 AND (?3 = '' OR station = ?3) "
                                 "ORDER BY id DESC LIMIT ?4");
  rows.Bind(1, query.from).Bind(2, query.to).Bind(3, query.station).Bind(4, int64_t{kLatestRows});
  json.Key("latest");
  return Rows(json, rows) || Failed(sqlite3_errmsg(db), error);
}

}  // namespace

int64_t UsableLaps(int64_t from, int64_t to) {
  if (to < from) return 0;
  const int64_t reservedFrom = std::max<int64_t>(from, ledger::kReservedLapFirst);
  const int64_t reservedTo = std::min<int64_t>(to, ledger::kReservedLapLast);
  const int64_t reserved = reservedTo >= reservedFrom ? reservedTo - reservedFrom + 1 : 0;
  return to - from + 1 - reserved;
}

std::optional<std::string> ViewJson(sqlite3* db, const ViewQuery& query, const std::vector<AddressRange>& ranges,
                                    const ViewSource& source, const std::string& now, std::string* error) {
  JsonWriter json;
  json.BeginObject();
  json.Key("source").BeginObject();
  json.Key("kind").String(source.kind);
  json.Key("name").String(source.name);
  json.EndObject();
  json.Key("now").String(now);
  json.Key("from").String(query.from);
  json.Key("to").String(query.to);
  json.Key("station").String(query.station);
  if (!Findings(db, json, error) || !Production(db, query, json, error) || !CycleTimes(db, query, json, error) ||
      !Ranges(db, ranges, now, json, error) || !Latest(db, query, json, error)) {
    return std::nullopt;
  }
  json.EndObject();
  return json.text();
}

}  // namespace record
