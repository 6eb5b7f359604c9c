// Rows the server did not take: kept on this station's disk, with full
// synchronous writes, and delivered before the next address is drawn. A
// written mark kept here still counts: the server only learns it later. A row
// the server refuses for what it holds is set aside in the same file, where
// tarnwick-record check shows it, so that it never holds up the rows behind it.
#pragma once

#include <sqlite3.h>

#include <functional>
#include <string>
#include <vector>

#include "ledger/embedded/record_db.h"
#include "ledger/server/server_row.h"

namespace ledger::server {

inline constexpr const char* kOutboxFile = "ledger_outbox.db";

// What became of a row handed to the server.
enum class Delivery { Taken, Refused, NotNow };

// A row set aside, as tarnwick-record check lists it.
struct SetAsideRow {
  std::string time, operation, address, state, reason;
};
// The rows set aside in the outbox at `path`; empty when there is none.
std::vector<SetAsideRow> ReadSetAside(const std::string& path);

class Outbox {
 public:
  // `path` is the native path of the file; it is created only when a row must wait.
  explicit Outbox(std::string path);
  ~Outbox();
  Outbox(const Outbox&) = delete;
  Outbox& operator=(const Outbox&) = delete;

  bool empty() const { return waiting_ == 0; }
  // False when the row could not be kept either.
  bool Keep(const ServerRow& row);
  // Keeps a row the server refused, with the server's words, apart from the rows waiting.
  bool SetAside(const ServerRow& row, const std::string& reason);
  // Hands the rows in the order kept to `deliver`, dropping each it took and
  // setting aside each it refused (with `reason()`); stops at the first that
  // could not go now. True when none is left.
  bool Deliver(const std::function<Delivery(const ServerRow&)>& deliver, const std::function<std::string()>& reason);

 private:
  bool Open(bool create);
  static bool BindRow(Statement& insert, const ServerRow& row);

  std::string path_;
  sqlite3* db_ = nullptr;
  int64_t waiting_ = 0;
};

}  // namespace ledger::server
