// One libpq connection to the ledger's server, opened again after it broke.
#pragma once

#include <libpq-fe.h>

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

class PgSession {
 public:
  explicit PgSession(std::string url) : url_(std::move(url)) {}
  ~PgSession();
  PgSession(const PgSession&) = delete;
  PgSession& operator=(const PgSession&) = delete;

  // True when a connection is up; opens one when none is. `*fresh` tells a new one.
  bool Connect(bool* fresh = nullptr);
  bool Up() const;
  void Drop();

  // Runs one statement with text parameters; null when it failed, and the
  // connection is dropped when it broke, so the next Connect opens a new one.
  Result Run(const char* sql, const std::vector<Param>& params = {});
  // Statements without parameters, one after the other.
  bool Execute(const char* sql);
  // The server's words for the last failure.
  const std::string& error() const { return error_; }
  // True when the last Connect failed on the server's TLS certificate
  // (unknown CA, another host's name, out of date), not on the network.
  bool certificateRefused() const { return certificateRefused_; }
  // The SQLSTATE of the last failed statement ("" after a broken connection).
  const std::string& sqlState() const { return sqlState_; }

 private:
  std::string url_;
  PGconn* connection_ = nullptr;
  std::string error_;
  std::string sqlState_;
  bool certificateRefused_ = false;
};

}  // namespace ledger::server
