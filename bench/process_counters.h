// What the bench reads about its own process: resident memory, and the fsync
// tally of the preloaded counter when it is there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bench/fsync_counter.h"

namespace bench {

// VmRSS from /proc/self/status, in kB; 0 when unreadable.
int64_t ResidentKb();

class FsyncCounter {
 public:
  // Finds the preloaded counter; Counting() is false without it.
  FsyncCounter();
  bool Counting() const { return total_ != nullptr; }
  FsyncTally Total() const;
  struct File {
    std::string path;
    FsyncTally tally;
  };
  std::vector<File> Files() const;

 private:
  FsyncTotalFunction total_ = nullptr;
  FsyncFileFunction file_ = nullptr;
};

// Starts this program again with the counter preloaded, unless it is loaded
// already or was tried once. Returns only when it did not start it again.
void PreloadFsyncCounter(char** argv, const char* counterLibrary);

}  // namespace bench
