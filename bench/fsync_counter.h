// What the preloaded fsync counter keeps, looked up by name in the bench: each
// fsync and fdatasync of the process, wherever it is called from, with the
// time it took and the file it was for.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

struct FsyncTally {
  uint64_t calls;
  uint64_t nanoseconds;
};

// Every call so far.
using FsyncTotalFunction = void (*)(FsyncTally* total);
inline constexpr const char* kFsyncTotalName = "tarnwick_fsync_total";

// The calls for the `index`th file seen (as /proc/self/fd names it), or null
// past the last one. The last entry may be "(other files)" once the table is full.
using FsyncFileFunction = const char* (*)(size_t index, FsyncTally* tally);
inline constexpr const char* kFsyncFileName = "tarnwick_fsync_file";
}
