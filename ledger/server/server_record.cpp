#include "ledger/server/server_record.h"

#include "ledger/embedded/record_db.h"

namespace ledger::server {

sqlite3* CopyServerRecord(PgSession& session, std::string* error) {
  if (!session.Connect()) {
    *error = "cannot reach the ledger's server: " + session.error();
    return nullptr;
  }
  Result rows = session.Run(
      "SELECT id, time, station, transport, slot, operation, result, nap, uap, lap, state, name, "
      "firmware_path, firmware_size, firmware_sha256, duration_ms FROM operations ORDER BY id");
  if (!rows) {
    *error = "cannot read the server's record: " + session.error();
    return nullptr;
  }
  sqlite3* db = nullptr;
  if (sqlite3_open(":memory:", &db) != SQLITE_OK || !Execute(db, kRecordSchema) || !Execute(db, "BEGIN")) {
    *error = "cannot hold the server's record in memory";
    sqlite3_close(db);
    return nullptr;
  }
  {
    Statement insert(db,
                     "INSERT INTO operations (id, time, station, transport, slot, operation, result, nap, uap, lap, "
                     "state, name, firmware_path, firmware_size, firmware_sha256, duration_ms) "
                     "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)");
    constexpr bool kNumber[] = {true,  false, false, false, true,  false, false, true,
                                true,  true,  false, false, false, true,  false, true};
    for (int row = 0, n = PQntuples(rows.get()); row < n; ++row) {
      for (int column = 0; column < 16; ++column) {
        if (PQgetisnull(rows.get(), row, column)) {
          insert.BindNull(column + 1);
        } else if (kNumber[column]) {
          insert.Bind(column + 1, static_cast<int64_t>(std::stoll(PQgetvalue(rows.get(), row, column))));
        } else {
          insert.Bind(column + 1, std::string_view(PQgetvalue(rows.get(), row, column)));
        }
      }
      if (insert.Step() != SQLITE_DONE) {
        *error = "cannot hold the server's record in memory";
        sqlite3_close(db);
        return nullptr;
      }
      insert.Reset();
    }
  }
  Execute(db, "COMMIT");
  return db;
}

}  // namespace ledger::server
