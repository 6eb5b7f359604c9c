#include "tests/server/test_certificates.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <vector>

extern char** environ;

namespace pgtest {
namespace {

bool Run(std::vector<std::string> words, const std::string& log) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
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

// A CA of its own: a self-signed certificate and its key.
std::vector<std::string> NewCa(const std::string& name, const std::string& folder) {
  return {"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30", "-subj", "/CN=" + name,
          "-keyout", folder + "/" + name + ".key", "-out", folder + "/" + name + ".crt"};
}

}  // namespace

bool MakeCertificates(const std::string& folder, Certificates* made, std::string* error) {
  const std::string log = folder + "/openssl.log";
  made->ca = folder + "/line-ca.crt";
  made->otherCa = folder + "/other-ca.crt";
  made->serverCertificate = folder + "/server.crt";
  made->serverKey = folder + "/server.key";
  const bool ok =
      Run(NewCa("line-ca", folder), log) && Run(NewCa("other-ca", folder), log) &&
      Run({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30", "-subj", "/CN=localhost",
           "-addext", "subjectAltName=DNS:localhost", "-addext", "basicConstraints=critical,CA:FALSE", "-CA",
           made->ca, "-CAkey", folder + "/line-ca.key", "-keyout", made->serverKey, "-out",
           made->serverCertificate},
          log);
  if (!ok) *error = "the openssl command failed; see " + log;
  return ok;
}

}  // namespace pgtest
