// What the dashboard shows, worked out from the record for one time window
// and station, as the JSON the page and a line's MES read (README: "The
// dashboard").
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace record {

struct ViewQuery {
  std::string from;     // local time, included: "YYYY-MM-DD HH:MM:SS"
  std::string to;       // local time, left out
  std::string station;  // one station's rows; empty: every station
};

// An address range as its keeper holds it: the station's counter in
// btconfig.ini, or a range set up on the line's server.
struct AddressRange {
  uint32_t nap = 0, uap = 0;
  std::optional<uint32_t> firstLap;  // unknown for a station's own counter
  uint32_t lastLap = 0;
  uint32_t nextLap = 0;              // past lastLap once the range is used up
};

struct ViewSource {
  std::string kind;  // "file" or "server"
  std::string name;  // the file's path or the server's address
};

// The whole view as one JSON object; nothing when a query failed, with
// `*error` saying why. `now` is the local time the rates are counted back from.
std::optional<std::string> ViewJson(sqlite3* db, const ViewQuery& query, const std::vector<AddressRange>& ranges,
                                    const ViewSource& source, const std::string& now, std::string* error);

// The addresses from `from` to `to`, both included, that a module may take:
// the reserved LAPs do not count.
int64_t UsableLaps(int64_t from, int64_t to);

}  // namespace record
