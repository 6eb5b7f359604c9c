#include "record/serve_source.h"

#include "ledger/address_range.h"
#include "ledger/embedded/record_db.h"
#include "platform/profile_file.h"
#include "record/server_commands.h"

namespace record {
namespace {

constexpr size_t kProfileValue = 64;

bool ParseHexField(const std::string& text, size_t width, uint32_t* value) {
  if (text.empty() || text.size() > width || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    return false;
  }
  *value = static_cast<uint32_t>(std::stoul(text, nullptr, 16));
  return true;
}

std::string Folder(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

std::string Key(const ViewQuery& query, const std::string& now) {
  return query.from + '\n' + query.to + '\n' + query.station + '\n' + now;
}

}  // namespace

std::vector<AddressRange> CounterRange(const std::string& settings) {
  AddressRange range;
  range.lastLap = ledger::kLastLap;
  const std::string lap = platform::ReadProfileString("address", "LAP", kProfileValue, settings);
  if (!ParseHexField(platform::ReadProfileString("address", "NAP", kProfileValue, settings), 4, &range.nap) ||
      !ParseHexField(platform::ReadProfileString("address", "UAP", kProfileValue, settings), 2, &range.uap) ||
      lap.empty() || lap.size() > 8 || lap.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    return {};
  }
  // A LAP past the last one (the counter after the last address) is a used-up range.
  range.nextLap = static_cast<uint32_t>(std::min<unsigned long>(std::stoul(lap, nullptr, 16), ledger::kLastLap + 1ul));
  return {range};
}

FileRecordSource::FileRecordSource(std::string path)
    : path_(std::move(path)), settings_(Folder(path_) + "/btconfig.ini") {}

std::optional<std::string> FileRecordSource::View(const ViewQuery& query, const std::string& now, std::string* error) {
  std::lock_guard<std::mutex> hold(lock_);
  if (!db_) {
    db_ = OpenRecordForReading(path_, error);
    if (!db_) return std::nullopt;
    dataVersion_ = -1;
  }
  ledger::Statement version(db_.get(), "PRAGMA data_version");
  if (version.Step() != SQLITE_ROW) {
    *error = "cannot read the production record " + path_ + ": " + sqlite3_errmsg(db_.get());
    db_.reset();  // opened again by the next view: the file may have been put back
    return std::nullopt;
  }
  if (version.Int(0) != dataVersion_) {
    answers_.clear();
    dataVersion_ = version.Int(0);
  }
  const std::string key = Key(query, now);
  if (auto found = answers_.find(key); found != answers_.end()) return found->second;

  std::optional<std::string> view;
  {
    ReadSnapshot snapshot(db_.get());
    view = ViewJson(db_.get(), query, CounterRange(settings_), {"file", path_}, now, error);
  }
  if (!view) {
    *error = "cannot read the production record " + path_ + ": " + *error;
    db_.reset();
    return std::nullopt;
  }
  // Only the answers of this moment are worth keeping.
  if (answers_.size() > 64) answers_.clear();
  answers_[key] = *view;
  return view;
}

ServerRecordSource::ServerRecordSource(std::string url, std::chrono::milliseconds refresh)
    : url_(std::move(url)), refresh_(refresh) {}

std::optional<std::string> ServerRecordSource::View(const ViewQuery& query, const std::string& now,
                                                    std::string* error) {
  std::lock_guard<std::mutex> hold(lock_);
  const auto at = std::chrono::steady_clock::now();
  if (!copy_ || at - copied_ >= refresh_) {
    std::vector<AddressRange> ranges;
    if (!ServerRanges(url_, &ranges, error)) {
      // Server messages end in a line feed of their own.
      if (!error->empty() && error->back() == '\n') error->pop_back();
      copy_.reset();
      return std::nullopt;
    }
    RecordHandle copy = OpenServerRecord(url_, error);
    if (!copy) {
      copy_.reset();
      return std::nullopt;
    }
    copy_ = std::move(copy);
    ranges_ = std::move(ranges);
    copied_ = at;
    answers_.clear();
  }
  const std::string key = Key(query, now);
  if (auto found = answers_.find(key); found != answers_.end()) return found->second;
  std::optional<std::string> view = ViewJson(copy_.get(), query, ranges_, {"server", ""}, now, error);
  if (!view) return std::nullopt;
  if (answers_.size() > 64) answers_.clear();
  answers_[key] = *view;
  return view;
}

}  // namespace record
