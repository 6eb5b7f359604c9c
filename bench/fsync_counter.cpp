// An LD_PRELOAD shim: counts fsync and fdatasync and hands each on to the C
// library. Interposing at load time catches the calls made inside shared
// libraries (SQLite, the simulated chip libraries), which a link-time wrap of
// the bench's own objects would not.
#include "bench/fsync_counter.h"

#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

constexpr size_t kFiles = 63;
constexpr size_t kPathBytes = 512;

struct FileTally {
  char path[kPathBytes];
  FsyncTally tally;
};

std::mutex lock;
FsyncTally total;
FileTally files[kFiles + 1];  // the last one: every file past the table
size_t fileCount = 0;

uint64_t NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

void Count(int fd, uint64_t nanoseconds) {
  char link[64];
  char path[kPathBytes] = {};
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, path, sizeof path - 1);
  if (n < 0) strcpy(path, "(unnamed)");
  std::lock_guard<std::mutex> hold(lock);
  total.calls++;
  total.nanoseconds += nanoseconds;
  size_t i = 0;
  while (i < fileCount && strcmp(files[i].path, path) != 0) ++i;
  if (i == fileCount) {
    if (fileCount < kFiles) {
      memcpy(files[i].path, path, sizeof path);
      ++fileCount;
    } else {
      i = kFiles;
      strcpy(files[i].path, "(other files)");
    }
  }
  files[i].tally.calls++;
  files[i].tally.nanoseconds += nanoseconds;
}

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int fsync(int fd) {
  static auto real = Next<int (*)(int)>("fsync");
  uint64_t start = NowNs();
  int result = real(fd);
  Count(fd, NowNs() - start);
  return result;
}

__attribute__((visibility("default"))) int fdatasync(int fd) {
  static auto real = Next<int (*)(int)>("fdatasync");
  uint64_t start = NowNs();
  int result = real(fd);
  Count(fd, NowNs() - start);
  return result;
}

__attribute__((visibility("default"))) void tarnwick_fsync_total(FsyncTally* out) {
  std::lock_guard<std::mutex> hold(lock);
  *out = total;
}

__attribute__((visibility("default"))) const char* tarnwick_fsync_file(size_t index, FsyncTally* out) {
  std::lock_guard<std::mutex> hold(lock);
  size_t shown = fileCount + (files[kFiles].tally.calls != 0 ? 1 : 0);
  if (index >= shown) return nullptr;
  const FileTally& file = index < fileCount ? files[index] : files[kFiles];
  *out = file.tally;
  return file.path;
}
}
