#include <windows.h>

#include "platform/file_lock.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

class WindowsFileLock : public FileLock {
 public:
  explicit WindowsFileLock(HANDLE file) : file_(file) {}
  ~WindowsFileLock() override { CloseHandle(file_); }  // closing lets the lock go
  WindowsFileLock(const WindowsFileLock&) = delete;
  WindowsFileLock& operator=(const WindowsFileLock&) = delete;

 private:
  HANDLE file_;
};

}  // namespace

std::unique_ptr<FileLock> TryLockFile(const std::string& path, LockFailure* why) {
  LockFailure ignored;
  LockFailure& failure = why != nullptr ? *why : ignored;
  // No inheritable handle: a flash tool started while we hold it must not keep it.
  HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    // A sharing violation is another process that opened it without sharing: held, not refused.
    failure = error == ERROR_ACCESS_DENIED        ? LockFailure::Denied
              : error == ERROR_SHARING_VIOLATION ? LockFailure::Held
                                                 : LockFailure::Unopenable;
    return nullptr;
  }
  OVERLAPPED whole{};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
    failure = GetLastError() == ERROR_LOCK_VIOLATION ? LockFailure::Held : LockFailure::Unopenable;
    CloseHandle(file);
    return nullptr;
  }
  failure = LockFailure::None;
  return std::make_unique<WindowsFileLock>(file);
}

}  // namespace platform
