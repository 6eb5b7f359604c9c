#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/file_lock.h"

namespace platform {
namespace {

class PosixFileLock : public FileLock {
 public:
  explicit PosixFileLock(int fd) : fd_(fd) {}
  ~PosixFileLock() override { close(fd_); }
  PosixFileLock(const PosixFileLock&) = delete;
  PosixFileLock& operator=(const PosixFileLock&) = delete;

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<FileLock> TryLockFile(const std::string& path, LockFailure* why) {
  LockFailure ignored;
  LockFailure& failure = why != nullptr ? *why : ignored;
  // Close-on-exec: a flash tool started while we hold it must not keep it.
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    failure = (errno == EACCES || errno == EPERM) ? LockFailure::Denied : LockFailure::Unopenable;
    return nullptr;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    failure = errno == EWOULDBLOCK ? LockFailure::Held : LockFailure::Unopenable;
    close(fd);
    return nullptr;
  }
  failure = LockFailure::None;
  return std::make_unique<PosixFileLock>(fd);
}

}  // namespace platform
