// One libpq connection to the ledger's server, opened again after it broke.
// Every wait on it is bounded: connecting, sending and each answer end by the
// deadline of the call, whatever the network or the server does.
#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ledger::server {

struct ClearResult {
  void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ClearResult>;

// A parameter of a statement: text, or SQL NULL.
using Param = std::optional<std::string>;

// What btconfig.ini's url names, for messages: "host:port", never a password.
struct ServerUrl {
  bool valid = false;
  bool hasPassword = false;
  std::string server;
};
ServerUrl ParseServerUrl(const std::string& url);

// Milliseconds of a clock that only goes forward. (No <chrono> here: the
// window's code, compiled for GBK text, includes this header.)
int64_t MonotonicMs();

// A station's waits. A press waits for the server at most kPressBoundMs for
// its address (connecting at most kConnectBoundMs of it) and kRecordBoundMs for
// its row; the server gives up a statement after kStatementTimeoutMs and a wait
// for the draw lock after kLockTimeoutMs, and ends the session of a station
// that went quiet inside a transaction after kIdleInTransactionTimeoutMs, so a
// vanished station's draw lock outlives it by that much at most. The lock
// wait is longer than that, so that the other stations get the lock of a
// vanished one instead of being refused.
inline constexpr int64_t kPressBoundMs = 8000;
inline constexpr int64_t kConnectBoundMs = 4000;
inline constexpr int64_t kRecordBoundMs = 2000;
inline constexpr int64_t kStatementTimeoutMs = 6000;
inline constexpr int64_t kLockTimeoutMs = 5000;
inline constexpr int64_t kIdleInTransactionTimeoutMs = 3000;

// Why the last connect or statement failed.
enum class Fault {
  None,
  Unreachable,       // no connection, or it broke
  ConnectTimeout,    // the server did not take us in before the deadline
  StatementTimeout,  // a statement got no answer in time (ours or the server's statement_timeout)
  LockTimeout,       // a lock stayed taken past lock_timeout
  PasswordRefused,   // no password for the role in .pgpass, or the server refused it
  RoleRefused,       // the role may not log in, or not to this database
  NoDatabase,        // the url's database is not on the server
  Certificate,       // the server's TLS certificate did not verify (CA, host name, dates)
  Content,           // the server refused a row for what it holds (a data error)
  Refused,           // any other error of the server's
};

// Who waits: a station, whose operator is waiting, or an engineer's tool.
enum class Waiter { Station, Tool };

class PgSession {
 public:
  explicit PgSession(std::string url, Waiter waiter = Waiter::Tool) : url_(std::move(url)), waiter_(waiter) {}
  ~PgSession();
  PgSession(const PgSession&) = delete;
  PgSession& operator=(const PgSession&) = delete;

  // Every wait until the next SetDeadline ends by `deadlineMs` (of
  // MonotonicMs); without one, each call has a minute.
  void SetDeadline(int64_t deadlineMs) { deadlineMs_ = deadlineMs; }

  // True when a connection is up; opens one when none is. `*fresh` tells a new one.
  bool Connect(bool* fresh = nullptr);
  bool Up() const;
  void Drop();

  // Runs one statement with text parameters; null when it failed, and the
  // connection is dropped when it broke or ran out of time, so the next
  // Connect opens a new one.
  Result Run(const char* sql, const std::vector<Param>& params = {});
  // Statements without parameters, one after the other.
  bool Execute(const char* sql);
  // The server's words for the last failure.
  const std::string& error() const { return error_; }
  // The SQLSTATE of the last failed statement ("" after a broken connection).
  const std::string& sqlState() const { return sqlState_; }
  Fault fault() const { return fault_; }

 private:
  int64_t Deadline() const;
  // Sends what libpq holds and gathers every result of the statement sent.
  Result Collect();
  Result Fail(Fault fault, std::string error);

  std::string url_;
  Waiter waiter_;
  std::optional<int64_t> deadlineMs_;
  PGconn* connection_ = nullptr;
  std::string error_;
  std::string sqlState_;
  Fault fault_ = Fault::None;
};

}  // namespace ledger::server
