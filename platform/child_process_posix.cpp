#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/file_system.h"
#include "platform/gbk.h"

extern char** environ;

namespace platform {
namespace {

bool IsExecutableFile(const std::string& gbkPath) {
  std::string native = GbkToUtf8(gbkPath);
  struct stat st {};
  return stat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(native.c_str(), X_OK) == 0;
}

class PipedChild : public ChildProcess {
 public:
  PipedChild(pid_t pid, int readEnd) : pid_(pid), readEnd_(readEnd) {}
  PipedChild(const PipedChild&) = delete;
  PipedChild& operator=(const PipedChild&) = delete;

  ~PipedChild() override {
    close(readEnd_);
    // The output has ended, so the program is on its way out; one that lingers
    // is not left behind as a zombie.
    Finish();
  }

  ReadResult Read(char* buffer, size_t size, size_t* got, unsigned timeoutMs) override {
    *got = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd ready{readEnd_, POLLIN, 0};
      int n = poll(&ready, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
      if (n < 0 && errno == EINTR) continue;
      if (n == 0) return ReadResult::Silent;
      if (n < 0) return ReadResult::End;
      ssize_t bytes = read(readEnd_, buffer, size);
      if (bytes < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (bytes <= 0) return ReadResult::End;
      *got = static_cast<size_t>(bytes);
      return ReadResult::Data;
    }
  }

  void Kill() override {
    if (pid_ <= 0) return;
    kill(-pid_, SIGKILL);  // the program's own helpers too: it leads a group of its own
    kill(pid_, SIGKILL);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
  }

  std::optional<int> Finish() override {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kExitGraceMs);
    while (pid_ > 0) {
      int status = 0;
      pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        pid_ = -1;
        if (WIFEXITED(status)) exitCode_ = WEXITSTATUS(status);
        else if (WIFSIGNALED(status)) exitCode_ = 128 + WTERMSIG(status);
        break;
      }
      if (done < 0 && errno != EINTR) {
        pid_ = -1;  // collected elsewhere: nothing to wait for, nothing known
        break;
      }
      if (std::chrono::steady_clock::now() >= deadline) {
        Kill();
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return exitCode_;
  }

 private:
  pid_t pid_;
  int readEnd_;
  std::optional<int> exitCode_;
};

}  // namespace

std::string FindProgram(const std::string& program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? program : std::string();

  std::vector<std::string> folders{ProgramFolder(), CurrentDirectory()};
  if (const char* path = std::getenv("PATH")) {
    std::string_view rest = path;
    for (;;) {
      size_t colon = rest.find(':');
      std::string_view folder = rest.substr(0, colon);
      folders.push_back(folder.empty() ? CurrentDirectory() : Utf8ToGbk(folder));
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    std::string candidate = JoinPath(folder, program);
    if (IsExecutableFile(candidate)) return candidate;
  }
  return {};
}

StartResult StartChildProcess(const std::string& commandLine, std::unique_ptr<ChildProcess>* child) {
  std::vector<std::string> words = SplitCommandLine(commandLine);
  if (words.empty()) return StartResult::NoProgram;
  std::string program = FindProgram(words[0]);
  if (program.empty()) return StartResult::NoProgram;

  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return StartResult::NoPipe;
  // Started with standard output closed, the pipe could land on 1 or 2 and be
  // lost in the child's redirection: keep both ends above them.
  for (int& end : ends) {
    if (end > STDERR_FILENO) continue;
    int moved = fcntl(end, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    close(end);
    end = moved;
  }
  if (ends[0] < 0 || ends[1] < 0) {
    for (int end : ends) {
      if (end >= 0) close(end);
    }
    return StartResult::NoPipe;
  }

  std::vector<std::string> native;
  for (const std::string& word : words) native.push_back(GbkToUtf8(word));
  std::vector<char*> argv;
  for (std::string& word : native) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);

  // Its own process group, so that ending it ends its helpers; default signal
  // handling, so that a closed pipe stops it even when this process ignores that.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::string executable = GbkToUtf8(program);
  pid_t pid = 0;
  int failed = posix_spawn(&pid, executable.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  close(ends[1]);  // the child holds the only write end now: its exit ends the output
  if (failed != 0) {
    close(ends[0]);
    return StartResult::NoProgram;
  }
  *child = std::make_unique<PipedChild>(pid, ends[0]);
  return StartResult::Started;
}

}  // namespace platform
