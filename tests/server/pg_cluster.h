// A throwaway PostgreSQL cluster for the server tests: initdb and pg_ctl in a
// temporary folder, reached by a Unix socket or by TCP on 127.0.0.1 (over TCP
// only with TLS, its certificate from a CA the test makes), with a password
// that the clients find in a pgpass file, as a line's stations would.
#pragma once

#include <string>
#include <vector>

#include "tests/server/test_certificates.h"

namespace pgtest {

// The role the stations log in as, with its password in a pgpass file.
inline constexpr const char* kRole = "tarnwick";

// The database the cluster takes over TLS only, as a line's server does.
inline constexpr const char* kTlsOnlyDatabase = "tlsonly";

class PgCluster {
 public:
  // The one cluster of this test program, started by its global environment.
  static PgCluster& Get();

  bool Init(std::string* error);
  bool Start();
  bool Stop();
  void Remove();

  // postgresql://tarnwick@<socket folder>:<port>/<database>
  std::string Url(const std::string& database) const;
  // postgresql://tarnwick@127.0.0.1:<port>/<database>?sslmode=disable: the
  // cluster's TCP port, or `port` (a proxy in front of it) when given; plain,
  // so a proxy can read what passes.
  std::string TcpUrl(const std::string& database, int port = 0) const;
  // postgresql://tarnwick@<host>:<port>/<database>?sslmode=<mode>[&sslrootcert=<ca>]
  std::string TlsUrl(const std::string& database, const std::string& host, const std::string& sslmode,
                     const std::string& ca) const;
  const Certificates& certificates() const { return certificates_; }
  // The cluster's TCP port on 127.0.0.1 (also its socket's number).
  int Port() const { return port_; }
  // A new, empty database; false when the server refused.
  bool CreateDatabase(const std::string& name, std::string* error);

 private:
  // Runs a program of the server's, as the postgres user when we are root
  // (initdb and the server refuse root). Its output goes to the cluster's log.
  bool RunServerProgram(const std::string& program, const std::vector<std::string>& args);

  std::string folder_;  // the socket folder and home of data/
  std::string passFile_;
  bool asPostgresUser_ = false;
  int port_ = 0;
  Certificates certificates_;
};

}  // namespace pgtest
