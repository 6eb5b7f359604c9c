#include "tests/server/pg_cluster.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

extern char** environ;

namespace pgtest {
namespace {

constexpr const char* kServerBin = "/usr/lib/postgresql/15/bin/";
constexpr const char* kPassword = "line-secret";

bool WriteFile(const std::string& path, const std::string& text, std::ios::openmode mode = std::ios::trunc) {
  std::ofstream out(path, std::ios::binary | std::ios::out | mode);
  out << text;
  return static_cast<bool>(out.flush());
}

// A port on 127.0.0.1 that nothing listens on now; 0 when none could be had.
int FreeLoopbackPort() {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

}  // namespace

PgCluster& PgCluster::Get() {
  static PgCluster cluster;
  return cluster;
}

bool PgCluster::RunServerProgram(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> words;
  // By its full name: root's PATH does not always hold the system folders.
  if (asPostgresUser_) words = {access("/usr/sbin/runuser", X_OK) == 0 ? "/usr/sbin/runuser" : "runuser", "-u",
                                "postgres", "--"};
  words.push_back(kServerBin + program);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string log = folder_ + "/programs.log";
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool PgCluster::Init(std::string* error) {
  char pattern[] = "/tmp/tarnwick-pg-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    *error = "cannot make a folder for the cluster";
    return false;
  }
  folder_ = pattern;
  const std::string passwordFile = folder_ + "/password";
  WriteFile(passwordFile, std::string(kPassword) + "\n");
  if (!MakeCertificates(folder_, &certificates_, error)) return false;
  asPostgresUser_ = geteuid() == 0;
  if (asPostgresUser_) {
    const passwd* postgres = getpwnam("postgres");
    if (postgres == nullptr) {
      *error = "no postgres user to run the server as";
      return false;
    }
    if (chown(folder_.c_str(), postgres->pw_uid, postgres->pw_gid) != 0 ||
        chown(passwordFile.c_str(), postgres->pw_uid, postgres->pw_gid) != 0 ||
        chown(certificates_.serverKey.c_str(), postgres->pw_uid, postgres->pw_gid) != 0) {
      *error = "cannot give the cluster's folder to the postgres user";
      return false;
    }
  }
  const std::string data = folder_ + "/data";
  if (!RunServerProgram("initdb", {"-D", data, "-U", kRole, "--auth=scram-sha-256", "--pwfile=" + passwordFile,
                                   "-E", "UTF8", "--no-locale", "--no-sync"})) {
    *error = "initdb failed; see " + folder_ + "/programs.log";
    return false;
  }
  // The socket in our own folder, and TCP on loopback only, on a port
  // nothing else holds; durability is not what these tests are about.
  port_ = FreeLoopbackPort();
  if (port_ == 0) {
    *error = "no free port on 127.0.0.1";
    return false;
  }
  WriteFile(data + "/postgresql.conf",
            "\nlisten_addresses = '127.0.0.1'\nunix_socket_directories = '" + folder_ + "'\nport = " +
                std::to_string(port_) + "\nssl = on\nssl_cert_file = '" + certificates_.serverCertificate +
                "'\nssl_key_file = '" + certificates_.serverKey + "'\nfsync = off\nfull_page_writes = off\nmax_connections = 40\nshared_buffers = 16MB\n",
            std::ios::app);
  // TLS on TCP; without it only where a test must see through the bytes (a
  // proxy's trigger), and never to the one database that a line's server is.
  chmod(certificates_.serverKey.c_str(), 0600);  // the server refuses a key others can read
  WriteFile(data + "/pg_hba.conf",
            "local all all scram-sha-256\nhostssl all all 127.0.0.1/32 scram-sha-256\n"
            "hostnossl " + std::string(kTlsOnlyDatabase) + " all 127.0.0.1/32 reject\n"
            "host all all 127.0.0.1/32 scram-sha-256\n");
  passFile_ = folder_ + ".pgpass";
  WriteFile(passFile_, std::string("*:*:*:") + kRole + ":" + kPassword + "\n");
  chmod(passFile_.c_str(), 0600);
  setenv("PGPASSFILE", passFile_.c_str(), 1);
  return true;
}

bool PgCluster::Start() {
  return RunServerProgram("pg_ctl", {"-D", folder_ + "/data", "-l", folder_ + "/server.log", "-w", "-t", "60", "start"});
}

bool PgCluster::Stop() {
  return RunServerProgram("pg_ctl", {"-D", folder_ + "/data", "-m", "fast", "-w", "-t", "60", "stop"});
}

void PgCluster::Remove() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
  std::filesystem::remove(passFile_, ignored);
}

std::string PgCluster::Url(const std::string& database) const {
  std::string host;
  for (char c : folder_) host += c == '/' ? std::string("%2F") : std::string(1, c);
  return std::string("postgresql://") + kRole + "@" + host + ":" + std::to_string(port_) + "/" + database;
}

namespace {

class ClusterEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(PgCluster::Get().Init(&error)) << error;
    ASSERT_TRUE(PgCluster::Get().Start()) << "the test cluster did not start";
  }
  void TearDown() override {
    PgCluster::Get().Stop();
    PgCluster::Get().Remove();
  }
};

// Registered before main runs the tests; a listing of the tests starts no server.
const ::testing::Environment* const kCluster = ::testing::AddGlobalTestEnvironment(new ClusterEnvironment);

}  // namespace

}  // namespace pgtest
