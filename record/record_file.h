// Opening production.db for reading. The tool never creates the record, never
// changes it and never rebuilds its indexes: a record that holds a duplicate
// (the very thing `check` looks for) must open as it is.
#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>

namespace record {

struct CloseRecord {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using RecordHandle = std::unique_ptr<sqlite3, CloseRecord>;

// The record at `path` (native name), opened for queries only; null with
// `*error` saying why when the file is missing or holds no production record.
RecordHandle OpenRecordForReading(const std::string& path, std::string* error);

// A read transaction: every query while it lives sees the record as it was at
// its first one, whatever a station program writes meanwhile.
class ReadSnapshot {
 public:
  explicit ReadSnapshot(sqlite3* db);
  ~ReadSnapshot();
  ReadSnapshot(const ReadSnapshot&) = delete;
  ReadSnapshot& operator=(const ReadSnapshot&) = delete;

 private:
  sqlite3* db_;
  bool begun_;
};

}  // namespace record
