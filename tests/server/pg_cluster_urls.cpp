// What both sides of the test cluster share: its urls and a new database in it.
#include <libpq-fe.h>

#include "tests/server/pg_cluster.h"

namespace pgtest {

std::string PgCluster::TcpUrl(const std::string& database, int port) const {
  return std::string("postgresql://") + kRole + "@127.0.0.1:" + std::to_string(port != 0 ? port : port_) + "/" +
         database + "?sslmode=disable";
}

std::string PgCluster::TlsUrl(const std::string& database, const std::string& host, const std::string& sslmode,
                              const std::string& ca) const {
  std::string url = std::string("postgresql://") + kRole + "@" + host + ":" + std::to_string(port_) + "/" + database +
                    "?sslmode=" + sslmode;
  if (!ca.empty()) url += "&sslrootcert=" + ca;
  return url;
}

bool PgCluster::CreateDatabase(const std::string& name, std::string* error) {
  PGconn* connection = PQconnectdb(Url("postgres").c_str());
  bool made = PQstatus(connection) == CONNECTION_OK;
  if (made) {
    PGresult* result = PQexec(connection, ("CREATE DATABASE " + name).c_str());
    made = PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
  }
  if (!made) *error = PQerrorMessage(connection);
  PQfinish(connection);
  return made;
}

}  // namespace pgtest
