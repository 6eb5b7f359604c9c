// tarnwick-record serve and the station program as real child processes in
// the test's working folder, each one's output in a file there.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "platform/sleep.h"

extern char** environ;

namespace dashboard {

inline std::string Slurp(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>{});
}

inline pid_t Start(const std::vector<std::string>& args, const std::string& output) {
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&files, 2, (output + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ), 0) << args[0];
  posix_spawn_file_actions_destroy(&files);
  return pid;
}

// The exit status, or -1 when it did not end within `timeoutMs` (it is killed then).
inline int Wait(pid_t pid, int64_t timeoutMs) {
  const int64_t until = platform::SteadyMs() + timeoutMs;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (platform::SteadyMs() > until) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    platform::SleepMs(20);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A running `tarnwick-record serve` on a free port of 127.0.0.1, ended with Ctrl+C.
class Serve {
 public:
  explicit Serve(std::vector<std::string> before = {}) {
    std::vector<std::string> args = {TARNWICK_RECORD};
    args.insert(args.end(), before.begin(), before.end());
    args.insert(args.end(), {"serve", "--listen", "127.0.0.1:0"});
    pid_ = Start(args, "serve.out");
    const std::regex address("http://127\\.0\\.0\\.1:([0-9]+)/");
    for (int64_t until = platform::SteadyMs() + 10000; platform::SteadyMs() < until; platform::SleepMs(20)) {
      std::smatch found;
      const std::string out = Slurp("serve.out");
      if (std::regex_search(out, found, address)) {
        port_ = std::stoi(found[1]);
        return;
      }
    }
    ADD_FAILURE() << "serve printed no address: " << Slurp("serve.out") << Slurp("serve.out.err");
  }
  ~Serve() {
    if (pid_ > 0) Stop();
  }
  // Ctrl+C; its exit status.
  int Stop() {
    kill(pid_, SIGINT);
    const int status = Wait(pid_, 10000);
    pid_ = -1;
    return status;
  }
  int port() const { return port_; }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace dashboard
