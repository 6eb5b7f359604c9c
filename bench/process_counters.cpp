#include "bench/process_counters.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

extern char** environ;

namespace bench {
namespace {

constexpr const char* kTriedVariable = "TARNWICK_BENCH_PRELOADED";

}  // namespace

int64_t ResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtoll(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

FsyncCounter::FsyncCounter() {
  total_ = reinterpret_cast<FsyncTotalFunction>(dlsym(RTLD_DEFAULT, kFsyncTotalName));
  file_ = reinterpret_cast<FsyncFileFunction>(dlsym(RTLD_DEFAULT, kFsyncFileName));
  if (file_ == nullptr) total_ = nullptr;
}

FsyncTally FsyncCounter::Total() const {
  FsyncTally tally{};
  if (total_ != nullptr) total_(&tally);
  return tally;
}

std::vector<FsyncCounter::File> FsyncCounter::Files() const {
  std::vector<File> files;
  if (file_ == nullptr) return files;
  FsyncTally tally{};
  for (size_t i = 0; const char* path = file_(i, &tally); ++i) files.push_back({path, tally});
  return files;
}

void PreloadFsyncCounter(char** argv, const char* counterLibrary) {
#if defined(__SANITIZE_ADDRESS__)
  // The sanitizer's runtime must come first among the loaded libraries; a
  // preloaded shim before it stops the program. Such a build goes uncounted.
  (void)argv;
  (void)counterLibrary;
  return;
#else
  if (FsyncCounter().Counting() || getenv(kTriedVariable) != nullptr) return;
  if (access(counterLibrary, R_OK) != 0) return;
  std::string preload = counterLibrary;
  if (const char* others = getenv("LD_PRELOAD"); others != nullptr && *others != '\0')
    preload += std::string(":") + others;
  setenv("LD_PRELOAD", preload.c_str(), 1);
  setenv(kTriedVariable, "1", 1);
  execve("/proc/self/exe", argv, environ);
  // Not started again: go on uncounted.
  perror("auto_bench: cannot start again with the fsync counter");
#endif
}

}  // namespace bench
