// Rows the server did not take: kept on this station's disk, with full
// synchronous writes, and delivered before the next address is drawn. A
// written mark kept here still counts: the server only learns it later.
#pragma once

#include <sqlite3.h>

#include <functional>
#include <string>

#include "ledger/server/server_row.h"

namespace ledger::server {

inline constexpr const char* kOutboxFile = "ledger_outbox.db";

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
  // Hands the rows in the order kept to `deliver`, dropping each it took;
  // stops at the first it could not. True when none is left.
  bool Deliver(const std::function<bool(const ServerRow&)>& deliver);

 private:
  bool Open(bool create);

  std::string path_;
  sqlite3* db_ = nullptr;
  int64_t waiting_ = 0;
};

}  // namespace ledger::server
