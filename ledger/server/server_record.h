// The server's record read for tarnwick-record: every station's rows, copied
// in one snapshot into a private in-memory SQLite database with the columns of
// production.db, so that export, check and summary read it as they read a
// station's own file.
#pragma once

#include <sqlite3.h>

#include <string>

#include "ledger/server/pg_session.h"

namespace ledger::server {

// Null with `*error` saying why when the server cannot be read.
sqlite3* CopyServerRecord(PgSession& session, std::string* error);

}  // namespace ledger::server
