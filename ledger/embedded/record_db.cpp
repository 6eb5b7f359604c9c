#include "ledger/embedded/record_db.h"

namespace ledger {

Statement::Statement(sqlite3* db, std::string_view sql) {
  if (db != nullptr &&
      sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr) != SQLITE_OK) {
    statement_ = nullptr;
  }
}

Statement::~Statement() { sqlite3_finalize(statement_); }

Statement& Statement::Bind(int index, std::string_view text, bool nullWhenEmpty) {
  if (statement_ == nullptr) return *this;
  if (nullWhenEmpty && text.empty()) return BindNull(index);
  sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

Statement& Statement::Bind(int index, int64_t value) {
  if (statement_ != nullptr) sqlite3_bind_int64(statement_, index, value);
  return *this;
}

Statement& Statement::BindNull(int index) {
  if (statement_ != nullptr) sqlite3_bind_null(statement_, index);
  return *this;
}

void Statement::Reset() {
  if (statement_ != nullptr) sqlite3_reset(statement_);
}

int Statement::Step() { return statement_ == nullptr ? SQLITE_MISUSE : sqlite3_step(statement_); }

int64_t Statement::Int(int column) const { return sqlite3_column_int64(statement_, column); }

bool Statement::IsNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

std::string Statement::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(statement_, column);
  return text == nullptr ? std::string()
                         : std::string(reinterpret_cast<const char*>(text),
                                       static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
}

bool Execute(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

sqlite3* OpenRecord(const std::string& path, bool create) {
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  // Another program's write (tarnwick-record, a second station program) is waited for, briefly.
  sqlite3_busy_timeout(db, 5000);
  // A larger log between checkpoints: each checkpoint costs two more fsyncs,
  // shared out over the modules written since the last one.
  if (!Execute(db, "PRAGMA journal_mode=WAL") || !Execute(db, "PRAGMA synchronous=FULL") ||
      !Execute(db, "PRAGMA wal_autocheckpoint=4000") ||
      !Execute(db, kRecordSchema)) {
    sqlite3_close(db);
    return nullptr;
  }
  // A record that already holds a duplicate (copied together from two
  // stations, or its index dropped by hand) cannot take the index again. It
  // still opens: the counter moves past every address in it all the same, and
  // tarnwick-record check must be able to show the duplicate.
  Execute(db, kRecordIndex);
  Execute(db, kRecordReadIndexes);
  return db;
}

}  // namespace ledger
