#include "ledger/server/pg_session.h"

#include <algorithm>
#include <chrono>

#include "platform/socket_wait.h"

namespace ledger::server {
namespace {

// libpq's words when the handshake stopped at the server's certificate: the
// TLS library's verify failure (unknown CA, expired), libpq's own host name
// check, or a root certificate file that cannot be read. Whole phrases: the
// message also quotes the url's names, which may hold any word.
bool CertificateRefused(const std::string& error) {
  for (const char* phrase : {"certificate verify failed", "server certificate for \"", "root certificate file \""}) {
    if (error.find(phrase) != std::string::npos) return true;
  }
  return false;
}

constexpr int64_t kToolBoundMs = 60000;

int MsLeft(int64_t deadline) { return static_cast<int>(std::clamp<int64_t>(deadline - MonotonicMs(), 0, 1000000)); }

// Waits for the socket until the deadline; false when it passed.
bool Await(PGconn* connection, platform::SocketEvent event, int64_t deadline) {
  for (;;) {
    int left = MsLeft(deadline);
    if (left == 0) return false;
    if (platform::WaitSocket(PQsocket(connection), event, left)) return true;
  }
}

bool Holds(const std::string& text, const char* what) { return text.find(what) != std::string::npos; }

// A refusal by the server at log-in, told by the SQLSTATE that the verbose
// message carries: its words depend on the server's language, the code does not.
Fault LogInFault(PGconn* connection, const std::string& message) {
  if (PQconnectionNeedsPassword(connection)) return Fault::PasswordRefused;
  // Under password log-in the server answers a role it does not know as a
  // wrong password, so as not to tell which roles exist.
  if (Holds(message, " 28P01: ")) return Fault::PasswordRefused;
  if (Holds(message, " 28000: ") || Holds(message, " 42501: ")) return Fault::RoleRefused;
  if (Holds(message, " 3D000: ")) return Fault::NoDatabase;
  // A server certificate that cannot be trusted: no network fault, and no
  // word of the server's either, since the station hung up on it.
  if (CertificateRefused(message)) return Fault::Certificate;
  return Fault::Unreachable;
}

Fault StatementFault(const std::string& state) {
  if (state == "55P03") return Fault::LockTimeout;
  if (state == "57014") return Fault::StatementTimeout;
  // Data exceptions and integrity violations: the row, not the server, is at fault.
  if (state.starts_with("22") || state.starts_with("23")) return Fault::Content;
  return Fault::Refused;
}

}  // namespace

ServerUrl ParseServerUrl(const std::string& url) {
  ServerUrl parsed;
  if (!url.starts_with("postgresql://") && !url.starts_with("postgres://")) return parsed;
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(url.c_str(), &error);
  PQfreemem(error);
  if (options == nullptr) return parsed;
  std::string host = "localhost", port = "5432";
  for (PQconninfoOption* option = options; option->keyword != nullptr; ++option) {
    if (option->val == nullptr || *option->val == '\0') continue;
    std::string keyword = option->keyword;
    if (keyword == "host") host = option->val;
    if (keyword == "port") port = option->val;
    if (keyword == "password") parsed.hasPassword = true;
  }
  PQconninfoFree(options);
  parsed.valid = true;
  parsed.server = host + ":" + port;
  return parsed;
}

int64_t MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

PgSession::~PgSession() { Drop(); }

int64_t PgSession::Deadline() const { return deadlineMs_ ? *deadlineMs_ : MonotonicMs() + kToolBoundMs; }

bool PgSession::Up() const { return connection_ != nullptr && PQstatus(connection_) == CONNECTION_OK; }

void PgSession::Drop() {
  // Non-blocking by then: the farewell is sent if it can be, never waited for.
  if (connection_ != nullptr) PQfinish(connection_);
  connection_ = nullptr;
}

Result PgSession::Fail(Fault fault, std::string error) {
  fault_ = fault;
  error_ = std::move(error);
  if (fault == Fault::Unreachable || fault == Fault::ConnectTimeout || fault == Fault::StatementTimeout) {
    sqlState_.clear();
  }
  return nullptr;
}

bool PgSession::Connect(bool* fresh) {
  if (fresh != nullptr) *fresh = false;
  if (Up()) return true;
  Drop();
  const int64_t deadline = std::min(Deadline(), MonotonicMs() + kConnectBoundMs);
  const bool station = waiter_ == Waiter::Station;
  // The url's own settings win over the name; ours, after it, win over the
  // url: the keepalives and the TCP user timeout notice a peer that is gone,
  // here and on the server, and the server bounds its own waits for us.
  const std::string serverBounds =
      "-c tcp_keepalives_idle=2 -c tcp_keepalives_interval=1 -c tcp_keepalives_count=3 -c tcp_user_timeout=5000" +
      (station ? " -c statement_timeout=" + std::to_string(kStatementTimeoutMs) +
                     " -c lock_timeout=" + std::to_string(kLockTimeoutMs) +
                     " -c idle_in_transaction_session_timeout=" + std::to_string(kIdleInTransactionTimeoutMs)
               : std::string());
  const char* keywords[] = {"application_name", "dbname", "keepalives", "keepalives_idle", "keepalives_interval",
                            "keepalives_count", "tcp_user_timeout", "options", nullptr};
  const char* values[] = {"tarnwick", url_.c_str(), "1", "2", "1", "3", "5000", serverBounds.c_str(), nullptr};
  connection_ = PQconnectStartParams(keywords, values, 1);
  if (connection_ == nullptr) return Fail(Fault::Unreachable, "out of memory"), false;
  // The SQLSTATE in the message of a refused log-in.
  PQsetErrorVerbosity(connection_, PQERRORS_VERBOSE);
  PostgresPollingStatusType polled = PQstatus(connection_) == CONNECTION_BAD ? PGRES_POLLING_FAILED
                                                                             : PGRES_POLLING_WRITING;
  while (polled != PGRES_POLLING_OK && polled != PGRES_POLLING_FAILED) {
    platform::SocketEvent event =
        polled == PGRES_POLLING_READING ? platform::SocketEvent::Read : platform::SocketEvent::Write;
    if (!Await(connection_, event, deadline)) {
      Drop();
      return Fail(Fault::ConnectTimeout, "timeout expired while connecting"), false;
    }
    polled = PQconnectPoll(connection_);
  }
  if (polled == PGRES_POLLING_FAILED || PQstatus(connection_) != CONNECTION_OK) {
    std::string message = PQerrorMessage(connection_);
    Fault fault = LogInFault(connection_, message);
    Drop();
    return Fail(fault, message), false;
  }
  PQsetErrorVerbosity(connection_, PQERRORS_DEFAULT);
  PQsetnonblocking(connection_, 1);
  // The server's notices (a shutdown's farewell among them) are no operator's
  // business; what matters reaches us as a failed statement.
  PQsetNoticeProcessor(connection_, [](void*, const char*) {}, nullptr);
  fault_ = Fault::None;
  if (fresh != nullptr) *fresh = true;
  return true;
}

Result PgSession::Collect() {
  const int64_t deadline = Deadline();
  auto timedOut = [this] {
    // Nothing more can be read from a connection left in the middle of an answer.
    Drop();
    return Fail(Fault::StatementTimeout, "timeout expired waiting for the server's answer");
  };
  auto broken = [this] {
    std::string message = PQerrorMessage(connection_);
    Drop();
    return Fail(Fault::Unreachable, message);
  };
  for (;;) {
    int flushed = PQflush(connection_);
    if (flushed == 0) break;
    if (flushed < 0) return broken();
    if (!Await(connection_, platform::SocketEvent::ReadOrWrite, deadline)) return timedOut();
    if (PQconsumeInput(connection_) == 0) return broken();
  }
  Result last, failed;
  for (;;) {
    while (PQisBusy(connection_)) {
      if (!Await(connection_, platform::SocketEvent::Read, deadline)) return timedOut();
      if (PQconsumeInput(connection_) == 0) return broken();
    }
    Result result(PQgetResult(connection_));
    if (!result) break;
    ExecStatusType status = PQresultStatus(result.get());
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
      last = std::move(result);
    } else if (!failed) {
      failed = std::move(result);
    }
  }
  if (!failed) {
    fault_ = Fault::None;
    return last;
  }
  if (PQstatus(connection_) != CONNECTION_OK) return broken();
  const char* state = PQresultErrorField(failed.get(), PG_DIAG_SQLSTATE);
  sqlState_ = state != nullptr ? state : "";
  return Fail(StatementFault(sqlState_), PQresultErrorMessage(failed.get()));
}

Result PgSession::Run(const char* sql, const std::vector<Param>& params) {
  if (!Up()) return Fail(Fault::Unreachable, error_);
  std::vector<const char*> values;
  values.reserve(params.size());
  for (const Param& param : params) values.push_back(param ? param->c_str() : nullptr);
  if (PQsendQueryParams(connection_, sql, static_cast<int>(values.size()), nullptr, values.data(), nullptr, nullptr,
                        0) == 0) {
    std::string message = PQerrorMessage(connection_);
    Drop();
    return Fail(Fault::Unreachable, message);
  }
  return Collect();
}

bool PgSession::Execute(const char* sql) {
  if (!Up()) return Fail(Fault::Unreachable, error_), false;
  if (PQsendQuery(connection_, sql) == 0) {
    std::string message = PQerrorMessage(connection_);
    Drop();
    return Fail(Fault::Unreachable, message), false;
  }
  if (Collect()) return true;
  // Statements that return no rows give a result all the same: only a failure leaves none.
  return fault_ == Fault::None;
}

}  // namespace ledger::server
