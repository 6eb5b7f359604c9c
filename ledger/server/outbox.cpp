#include "ledger/server/outbox.h"

#include "ledger/embedded/record_db.h"
#include "ledger/ledger.h"

namespace ledger::server {
namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS waiting (
  seq INTEGER PRIMARY KEY,
  id INTEGER NOT NULL,
  time TEXT NOT NULL, transport TEXT NOT NULL, slot INTEGER NOT NULL, operation TEXT NOT NULL, result TEXT NOT NULL,
  nap INTEGER, uap INTEGER, lap INTEGER, name TEXT, firmware_path TEXT, firmware_size INTEGER,
  firmware_sha256 TEXT, state TEXT, duration_ms INTEGER NOT NULL, origin TEXT
);
CREATE TABLE IF NOT EXISTS set_aside (
  seq INTEGER PRIMARY KEY,
  id INTEGER NOT NULL,
  time TEXT NOT NULL, transport TEXT NOT NULL, slot INTEGER NOT NULL, operation TEXT NOT NULL, result TEXT NOT NULL,
  nap INTEGER, uap INTEGER, lap INTEGER, name TEXT, firmware_path TEXT, firmware_size INTEGER,
  firmware_sha256 TEXT, state TEXT, duration_ms INTEGER NOT NULL, origin TEXT,
  reason TEXT NOT NULL
);
)sql";

constexpr const char* kColumns =
    "id, time, transport, slot, operation, result, nap, uap, lap, name, firmware_path, firmware_size, "
    "firmware_sha256, state, duration_ms, origin";

// A station program waits this long for tarnwick-record or another of its
// kind to finish with the file, rather than lose a row.
constexpr int kBusyMs = 2000;

void BindOptional(Statement& statement, int index, const std::optional<int64_t>& value) {
  if (value) {
    statement.Bind(index, *value);
  } else {
    statement.BindNull(index);
  }
}

void BindOptional(Statement& statement, int index, const std::optional<std::string>& value) {
  if (value) {
    statement.Bind(index, *value);
  } else {
    statement.BindNull(index);
  }
}

std::optional<int64_t> OptionalInt(const Statement& statement, int column) {
  if (statement.IsNull(column)) return std::nullopt;
  return statement.Int(column);
}

std::optional<std::string> OptionalText(const Statement& statement, int column) {
  if (statement.IsNull(column)) return std::nullopt;
  return statement.Text(column);
}

}  // namespace

Outbox::Outbox(std::string path) : path_(std::move(path)) {
  if (!Open(false)) return;
  Statement count(db_, "SELECT count(*) FROM waiting");
  if (count.Step() == SQLITE_ROW) waiting_ = count.Int(0);
}

Outbox::~Outbox() { sqlite3_close(db_); }

bool Outbox::Open(bool create) {
  if (db_ != nullptr) return true;
  int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
  if (sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr) != SQLITE_OK || sqlite3_busy_timeout(db_, kBusyMs) != SQLITE_OK ||
      !Execute(db_, "PRAGMA synchronous=FULL") || !Execute(db_, kSchema)) {
    sqlite3_close(db_);
    db_ = nullptr;
    return false;
  }
  return true;
}

bool Outbox::Keep(const ServerRow& row) {
  if (!Open(true)) return false;
  Statement insert(db_, std::string("INSERT INTO waiting (") + kColumns +
                            ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)");
  if (!BindRow(insert, row) || insert.Step() != SQLITE_DONE) return false;
  ++waiting_;
  return true;
}

bool Outbox::SetAside(const ServerRow& row, const std::string& reason) {
  if (!Open(true)) return false;
  Statement insert(db_, std::string("INSERT INTO set_aside (") + kColumns +
                            ", reason) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17)");
  if (!BindRow(insert, row)) return false;
  insert.Bind(17, reason);
  return insert.Step() == SQLITE_DONE;
}

bool Outbox::BindRow(Statement& insert, const ServerRow& row) {
  insert.Bind(1, row.id).Bind(2, row.time).Bind(3, row.transport).Bind(4, row.slot).Bind(5, row.operation);
  insert.Bind(6, row.result);
  BindOptional(insert, 7, row.nap);
  BindOptional(insert, 8, row.uap);
  BindOptional(insert, 9, row.lap);
  BindOptional(insert, 10, row.name);
  BindOptional(insert, 11, row.firmwarePath);
  BindOptional(insert, 12, row.firmwareSize);
  BindOptional(insert, 13, row.firmwareSha256);
  BindOptional(insert, 14, row.state);
  insert.Bind(15, row.durationMs);
  BindOptional(insert, 16, row.origin);
  return true;
}

bool Outbox::Deliver(const std::function<Delivery(const ServerRow&)>& deliver,
                     const std::function<std::string()>& reason) {
  if (waiting_ == 0) return true;
  if (!Open(false)) return false;
  for (;;) {
    ServerRow row;
    int64_t seq = 0;
    {
      Statement first(db_,
                      "SELECT seq, id, time, transport, slot, operation, result, nap, uap, lap, name, firmware_path, "
                      "firmware_size, firmware_sha256, state, duration_ms, origin FROM waiting ORDER BY seq LIMIT 1");
      int step = first.Step();
      if (step == SQLITE_DONE) {
        waiting_ = 0;
        return true;
      }
      if (step != SQLITE_ROW) return false;
      seq = first.Int(0);
      row.id = first.Int(1);
      row.time = first.Text(2);
      row.transport = first.Text(3);
      row.slot = first.Int(4);
      row.operation = first.Text(5);
      row.result = first.Text(6);
      row.nap = OptionalInt(first, 7);
      row.uap = OptionalInt(first, 8);
      row.lap = OptionalInt(first, 9);
      row.name = OptionalText(first, 10);
      row.firmwarePath = OptionalText(first, 11);
      row.firmwareSize = OptionalInt(first, 12);
      row.firmwareSha256 = OptionalText(first, 13);
      row.state = OptionalText(first, 14);
      row.durationMs = first.Int(15);
      row.origin = OptionalText(first, 16);
    }
    Delivery delivered = deliver(row);
    if (delivered == Delivery::NotNow) return false;
    if (delivered == Delivery::Refused) {
      if (!Execute(db_, "BEGIN IMMEDIATE")) return false;
      Statement aside(db_, std::string("INSERT INTO set_aside (") + kColumns + ", reason) SELECT " + kColumns +
                               ", ?2 FROM waiting WHERE seq = ?1");
      aside.Bind(1, seq).Bind(2, reason());
      Statement drop(db_, "DELETE FROM waiting WHERE seq = ?1");
      drop.Bind(1, seq);
      if (aside.Step() != SQLITE_DONE || drop.Step() != SQLITE_DONE || !Execute(db_, "COMMIT")) {
        Execute(db_, "ROLLBACK");
        return false;
      }
      --waiting_;
      continue;
    }
    // Delivered twice if the program dies right here: harmless, since the
    // server applies a confirmation once and stores a new row by its origin once.
    Statement drop(db_, "DELETE FROM waiting WHERE seq = ?1");
    drop.Bind(1, seq);
    if (drop.Step() != SQLITE_DONE) return false;
    --waiting_;
  }
}

std::vector<SetAsideRow> ReadSetAside(const std::string& path) {
  std::vector<SetAsideRow> rows;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
      sqlite3_busy_timeout(db, kBusyMs) == SQLITE_OK) {
    Statement aside(db, "SELECT time, operation, nap, uap, lap, state, reason FROM set_aside ORDER BY seq");
    while (aside.Step() == SQLITE_ROW) {
      SetAsideRow row{aside.Text(0), aside.Text(1), "", aside.IsNull(5) ? "" : aside.Text(5), aside.Text(6)};
      if (!aside.IsNull(4)) {
        row.address = AddressText({static_cast<uint32_t>(aside.Int(2)), static_cast<uint32_t>(aside.Int(3)),
                                   static_cast<uint32_t>(aside.Int(4))});
      }
      rows.push_back(std::move(row));
    }
  }
  sqlite3_close(db);
  return rows;
}

}  // namespace ledger::server
