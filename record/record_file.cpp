#include "record/record_file.h"

#include "ledger/embedded/record_db.h"

namespace record {

RecordHandle OpenRecordForReading(const std::string& path, std::string* error) {
  sqlite3* raw = nullptr;
  // Read-write without create: a missing file stays missing, and SQLite may
  // still recover the write-ahead log a killed station program left behind.
  int opened = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  RecordHandle db(raw);
  if (opened != SQLITE_OK) {
    *error = "cannot open the production record " + path + ": " + (raw ? sqlite3_errmsg(raw) : "out of memory");
    return nullptr;
  }
  // A station program's write in progress is waited for, briefly.
  sqlite3_busy_timeout(db.get(), 5000);
  ledger::Execute(db.get(), "PRAGMA query_only=ON");
  ledger::Statement table(db.get(), "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'operations'");
  int step = table.Step();
  if (step == SQLITE_ROW) return db;
  *error = path + " is not a production record" +
           (step == SQLITE_DONE ? std::string(" (no operations table)") : ": " + std::string(sqlite3_errmsg(db.get())));
  return nullptr;
}

ReadSnapshot::ReadSnapshot(sqlite3* db) : db_(db), begun_(ledger::Execute(db, "BEGIN")) {}

ReadSnapshot::~ReadSnapshot() {
  if (begun_) ledger::Execute(db_, "COMMIT");
}

}  // namespace record
