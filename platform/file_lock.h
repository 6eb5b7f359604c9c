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

// Why no lock was had: the engineer is sent one way for each.
enum class LockFailure {
  None,
  Held,        // another process holds it
  Denied,      // the file cannot be opened for lack of permission (another user's file)
  Unopenable,  // the file cannot be opened or created for another reason
};

// The lock on `path` (native name; the file is created when missing), or
// nothing when another process holds it or the file cannot be opened; `why`,
// when given, says which.
std::unique_ptr<FileLock> TryLockFile(const std::string& path, LockFailure* why = nullptr);

}  // namespace platform
