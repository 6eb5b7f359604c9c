// An exclusive lock on a file, held by one process at a time and let go by the
// operating system when that process ends, however it ends.
#pragma once

#include <memory>
#include <string>

namespace platform {

class FileLock {
 public:
  virtual ~FileLock() = default;
};

// The lock on `path` (native name; the file is created when missing), or
// nothing when another process holds it or the file cannot be opened.
std::unique_ptr<FileLock> TryLockFile(const std::string& path);

}  // namespace platform
