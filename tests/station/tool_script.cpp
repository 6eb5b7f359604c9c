// A flash tool for the tests: it shows what it was given, or behaves in one
// way that the runner has to cope with.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

void Write(const std::string& text) {
  if (write(STDOUT_FILENO, text.data(), text.size()) < 0) _exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--long-then-short") {
    Write(std::string(4095, 'x'));  // one write below the pipe's atomic size arrives whole
    usleep(300'000);
    Write("ok 100% %d %s %n");
    return 0;
  }
  if (mode == "--hang" && argc > 2) {
    if (FILE* out = std::fopen(argv[2], "w")) {
      std::fprintf(out, "%d\n", static_cast<int>(getpid()));
      std::fclose(out);
    }
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  }
  // Ends its output but not itself: it has to be stopped.
  if (mode == "--linger" && argc > 2) {
    if (FILE* out = std::fopen(argv[2], "w")) {
      std::fprintf(out, "%d\n", static_cast<int>(getpid()));
      std::fclose(out);
    }
    close(STDOUT_FILENO);
    close(STDERR_FILENO);
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  }
  // Ends its output, then exits with the code given after the milliseconds given.
  if (mode == "--exit-later" && argc > 3) {
    Write("closing");
    close(STDOUT_FILENO);
    close(STDERR_FILENO);
    usleep(static_cast<useconds_t>(std::atoi(argv[2])) * 1000);
    return std::atoi(argv[3]);
  }
  if (mode == "--stderr") {
    if (write(STDERR_FILENO, "on stderr", 9) < 0) return 1;
    return 0;
  }
  std::string shown;
  for (int i = 0; i < argc; ++i) shown += std::string("[") + argv[i] + "]";
  Write(shown);
  return 0;
}
