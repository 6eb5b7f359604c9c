// Where `tarnwick-record serve` reads the record: production.db while a
// station program writes it, or the line's server. Each view is read in one
// short read transaction, so a station's checkpoints are never held off for
// long, and answers are shared between clients until the record changes.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "record/record_file.h"
#include "record/serve_view.h"

namespace record {

class RecordSource {
 public:
  virtual ~RecordSource() = default;
  // The view as JSON; nothing with `*error` when the record cannot be read.
  virtual std::optional<std::string> View(const ViewQuery& query, const std::string& now, std::string* error) = 0;
};

// production.db at `path`; the counter of btconfig.ini beside it is the address range.
class FileRecordSource : public RecordSource {
 public:
  explicit FileRecordSource(std::string path);
  std::optional<std::string> View(const ViewQuery& query, const std::string& now, std::string* error) override;

 private:
  std::string path_;
  std::string settings_;
  std::mutex lock_;
  RecordHandle db_;
  int64_t dataVersion_ = -1;
  std::map<std::string, std::string> answers_;  // by query and time, for dataVersion_
};

// The server named by btconfig.ini's [ledger] url: every station's rows,
// copied at most once every `refresh`, and the ranges set up there.
class ServerRecordSource : public RecordSource {
 public:
  ServerRecordSource(std::string url, std::chrono::milliseconds refresh);
  std::optional<std::string> View(const ViewQuery& query, const std::string& now, std::string* error) override;

 private:
  std::string url_;
  std::chrono::milliseconds refresh_;
  std::mutex lock_;
  RecordHandle copy_;
  std::vector<AddressRange> ranges_;
  std::chrono::steady_clock::time_point copied_;
  std::map<std::string, std::string> answers_;  // by query and time, for this copy
};

// The station's own counter in the profile file `settings`: NAP and UAP, the
// next LAP, up to the last LAP there is. Nothing when it holds no counter.
std::vector<AddressRange> CounterRange(const std::string& settings);

// The ranges set up on the server; false with `*error` when they cannot be read.
bool ServerRanges(const std::string& url, std::vector<AddressRange>* ranges, std::string* error);

}  // namespace record
