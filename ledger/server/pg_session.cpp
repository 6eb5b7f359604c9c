#include "ledger/server/pg_session.h"

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

PgSession::~PgSession() { Drop(); }

bool PgSession::Up() const { return connection_ != nullptr && PQstatus(connection_) == CONNECTION_OK; }

void PgSession::Drop() {
  if (connection_ != nullptr) PQfinish(connection_);
  connection_ = nullptr;
}

bool PgSession::Connect(bool* fresh) {
  if (fresh != nullptr) *fresh = false;
  if (Up()) return true;
  Drop();
  certificateRefused_ = false;
  // A press waits a few seconds at most for a server that does not answer;
  // the url's own settings come last and win.
  const char* keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
  const char* values[] = {"5", "tarnwick", url_.c_str(), nullptr};
  connection_ = PQconnectdbParams(keywords, values, 1);
  if (!Up()) {
    error_ = connection_ != nullptr ? PQerrorMessage(connection_) : "out of memory";
    sqlState_.clear();
    certificateRefused_ = CertificateRefused(error_);
    Drop();
    return false;
  }
  // The server's notices (a shutdown's farewell among them) are no operator's
  // business; what matters reaches us as a failed statement.
  PQsetNoticeProcessor(connection_, [](void*, const char*) {}, nullptr);
  if (fresh != nullptr) *fresh = true;
  return true;
}

Result PgSession::Run(const char* sql, const std::vector<Param>& params) {
  if (!Up()) return nullptr;
  std::vector<const char*> values;
  values.reserve(params.size());
  for (const Param& param : params) values.push_back(param ? param->c_str() : nullptr);
  Result result(PQexecParams(connection_, sql, static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                             nullptr, 0));
  ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
  error_ = PQerrorMessage(connection_);
  const char* state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
  sqlState_ = state != nullptr ? state : "";
  if (PQstatus(connection_) != CONNECTION_OK) Drop();
  return nullptr;
}

bool PgSession::Execute(const char* sql) {
  if (!Up()) return false;
  Result result(PQexec(connection_, sql));
  ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return true;
  error_ = PQerrorMessage(connection_);
  const char* state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
  sqlState_ = state != nullptr ? state : "";
  if (PQstatus(connection_) != CONNECTION_OK) Drop();
  return false;
}

}  // namespace ledger::server
