// production.db: the SQLite file that holds the production record of one
// station, the address marks among its rows. Shared by the station program,
// which writes it, and tarnwick-record, which reads it.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace ledger {

inline constexpr const char* kRecordFile = "production.db";

// One row per module operation. An address write is a row from the moment
// its address is reserved: `state` is then pending, and becomes written,
// failed or (for a program that died before it knew) unknown. The partial
// unique index is the last line of defence: no address can be pending,
// written or unknown twice.
inline constexpr const char* kRecordSchema = R"sql(
CREATE TABLE IF NOT EXISTS operations (
  id INTEGER PRIMARY KEY,
  time TEXT NOT NULL,
  station TEXT NOT NULL,
  transport TEXT NOT NULL,
  slot INTEGER NOT NULL,
  operation TEXT NOT NULL,
  result TEXT NOT NULL DEFAULT '',
  nap INTEGER, uap INTEGER, lap INTEGER,
  state TEXT CHECK (state IN ('pending', 'written', 'failed', 'unknown')),
  name TEXT,
  firmware_path TEXT,
  firmware_size INTEGER,
  firmware_sha256 TEXT,
  duration_ms INTEGER NOT NULL DEFAULT 0
);
)sql";
inline constexpr const char* kRecordIndex = R"sql(
CREATE UNIQUE INDEX IF NOT EXISTS one_module_per_address
  ON operations (nap, uap, lap) WHERE state IN ('pending', 'written', 'unknown');
)sql";
// For readers of a long record (the dashboard's day and shift views, the
// unsettled outcomes): one more page written per row, no more syncs.
inline constexpr const char* kRecordReadIndexes = R"sql(
CREATE INDEX IF NOT EXISTS operations_by_time ON operations (time);
CREATE INDEX IF NOT EXISTS unsettled_addresses ON operations (id) WHERE state IN ('pending', 'unknown');
)sql";

// A statement that finalizes itself.
class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool ok() const { return statement_ != nullptr; }
  // Binds by position, from 1. Text is UTF-8; an empty text binds NULL when `nullWhenEmpty`.
  Statement& Bind(int index, std::string_view text, bool nullWhenEmpty = false);
  Statement& Bind(int index, int64_t value);
  Statement& BindNull(int index);
  // SQLITE_ROW, SQLITE_DONE or an error.
  int Step();
  // Ready to be stepped again with new bindings.
  void Reset();
  int64_t Int(int column) const;
  bool IsNull(int column) const;
  std::string Text(int column) const;

 private:
  sqlite3_stmt* statement_ = nullptr;
};

bool Execute(sqlite3* db, const char* sql);

// Opens (and creates, with `create`) the record at `path` (native name): WAL,
// full synchronous, the schema in place. Null when it cannot be opened.
sqlite3* OpenRecord(const std::string& path, bool create);

}  // namespace ledger
