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

std::unique_ptr<FileLock> TryLockFile(const std::string& path) {
  // No inheritable handle: a flash tool started while we hold it must not keep it.
  HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  OVERLAPPED whole{};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
    CloseHandle(file);
    return nullptr;
  }
  return std::make_unique<WindowsFileLock>(file);
}

}  // namespace platform
