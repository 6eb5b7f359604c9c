#include "tests/sim/tool_runner.h"

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

extern char** environ;

namespace simtest {

ToolRun RunTool(const std::vector<std::string>& arguments) {
  ToolRun run;
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, err[0]);
  std::vector<std::string> all = {"nvscmd.exe"};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, NVSCMD, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(err[1]);
  if (spawned != 0) {
    close(out[0]);
    close(err[0]);
    return run;
  }
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  std::string* sinks[2] = {&run.out, &run.err};
  int open = 2;
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(n));
        ++run.reads;
        if (run.firstOutputMs < 0) {
          run.firstOutputMs =
              std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        }
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  run.endMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace simtest
