// Under Wine the cluster is a Linux one, started by the host side of the test
// (tests/server/with-cluster) before this program and removed after it. Its
// folder, named by TARNWICK_TEST_CLUSTER, holds the port, the CA files and
// the control files by which this side asks the host to stop and start it.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sleep.h"
#include "tests/server/pg_cluster.h"

namespace pgtest {
namespace {


std::string Slurped(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int requests = 0;

}  // namespace

PgCluster& PgCluster::Get() {
  static PgCluster cluster;
  return cluster;
}

bool PgCluster::Init(std::string* error) {
  const char* folder = std::getenv("TARNWICK_TEST_CLUSTER");
  if (folder == nullptr || *folder == '\0') {
    *error = "TARNWICK_TEST_CLUSTER names no cluster: run this program through tests/server/with-cluster";
    return false;
  }
  folder_ = folder;
  port_ = std::atoi(Slurped(folder_ + "/port").c_str());
  certificates_.ca = folder_ + "/line-ca.crt";
  certificates_.otherCa = folder_ + "/other-ca.crt";
  if (port_ == 0) *error = "no port in " + folder_;
  return port_ != 0;
}

// One request to the host side: "stop" or "start"; true when it says it was done.
bool PgCluster::RunServerProgram(const std::string& program, const std::vector<std::string>&) {
  const std::string number = std::to_string(++requests);
  {
    std::ofstream request(folder_ + "/request-" + number + ".tmp", std::ios::binary);
    request << program << "\n";
  }
  // Whole or not at all: the host must never read half a request.
  std::filesystem::rename(folder_ + "/request-" + number + ".tmp", folder_ + "/request-" + number);
  const std::filesystem::path reply = folder_ + "/reply-" + number;
  for (int waited = 0; waited < 1800; ++waited) {  // the host's pg_ctl waits 60 s at most
    if (std::filesystem::exists(reply)) return Slurped(reply).starts_with("ok");
    platform::SleepMs(50);
  }
  return false;
}

bool PgCluster::Start() { return RunServerProgram("start", {}); }
bool PgCluster::Stop() { return RunServerProgram("stop", {}); }
void PgCluster::Remove() {}  // the host side's

// Over TLS with the server's certificate checked, the password from
// %APPDATA%\postgresql\pgpass.conf, as on a line's station PC.
std::string PgCluster::Url(const std::string& database) const {
  return TlsUrl(database, "localhost", "verify-full", certificates_.ca);
}

namespace {

class ClusterEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(PgCluster::Get().Init(&error)) << error;
  }
};

const ::testing::Environment* const kCluster = ::testing::AddGlobalTestEnvironment(new ClusterEnvironment);

}  // namespace

}  // namespace pgtest
