// An LD_PRELOAD library that records the file calls a program makes in one
// folder: opens, writes with their bytes, truncations, syncs, renames,
// unlinks and closes. Interposed at load time, it sees the calls made inside
// libsqlite3 as well as the program's own, which is what a power-cut replay
// needs. Files in folders below the watched one (the simulated station's) do
// not count; each call notes the size of a witness file, the station's call
// trace, so the replay knows which module calls came before it.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "tests/powercut/file_call_log.h"

namespace {

using powercut::Call;
using powercut::CallHead;

constexpr int kFds = 4096;

struct Watched {
  bool file = false;
  bool folder = false;
};

template <typename Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

using OpenFn = int (*)(const char*, int, ...);
using OpenatFn = int (*)(int, const char*, int, ...);
using WriteFn = ssize_t (*)(int, const void*, size_t);
using PwriteFn = ssize_t (*)(int, const void*, size_t, off_t);
using TruncateFn = int (*)(int, off_t);
using SyncFn = int (*)(int);
using RenameFn = int (*)(const char*, const char*);
using RenameatFn = int (*)(int, const char*, int, const char*);
using Renameat2Fn = int (*)(int, const char*, int, const char*, unsigned);
using UnlinkFn = int (*)(const char*);
using UnlinkatFn = int (*)(int, const char*, int);
using CloseFn = int (*)(int);

struct Recorder {
  std::mutex lock;
  bool on = false;
  int log = -1;
  std::string folder;
  std::string witness;
  Watched fds[kFds];
  WriteFn realWrite = Real<WriteFn>("write");

  Recorder() {
    const char* logPath = getenv(powercut::kLogVariable);
    const char* folderPath = getenv(powercut::kFolderVariable);
    const char* witnessPath = getenv(powercut::kWitnessVariable);
    if (logPath == nullptr || folderPath == nullptr) return;
    folder = folderPath;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (witnessPath != nullptr) witness = witnessPath;
    auto realOpen = Real<OpenFn>("open");
    log = realOpen(logPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    on = log >= 0;
  }

  // The name of `path` inside the folder, "" for the folder itself, or false
  // for anything else (a file below it, or elsewhere).
  bool InFolder(int dirfd, const char* path, std::string* name, bool* isFolder) {
    if (!on || path == nullptr) return false;
    std::string full;
    if (path[0] == '/') {
      full = path;
    } else if (dirfd == AT_FDCWD) {
      char cwd[4096];
      if (getcwd(cwd, sizeof cwd) == nullptr) return false;
      full = std::string(cwd) + "/" + path;
    } else {
      char link[64], target[4096];
      snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
      ssize_t n = readlink(link, target, sizeof target - 1);
      if (n <= 0) return false;
      full = std::string(target, static_cast<size_t>(n)) + "/" + path;
    }
    // Drop "." and empty parts and fold "..", without asking the file system.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= full.size()) {
      size_t end = full.find('/', start);
      if (end == std::string::npos) end = full.size();
      std::string part = full.substr(start, end - start);
      if (part == "..") {
        if (!parts.empty()) parts.pop_back();
      } else if (!part.empty() && part != ".") {
        parts.push_back(part);
      }
      start = end + 1;
    }
    std::string normal;
    for (const std::string& part : parts) normal += "/" + part;
    if (normal == folder) {
      *name = "";
      *isFolder = true;
      return true;
    }
    if (normal.size() <= folder.size() + 1 || normal.compare(0, folder.size() + 1, folder + "/") != 0) return false;
    std::string rest = normal.substr(folder.size() + 1);
    if (rest.find('/') != std::string::npos) return false;
    *name = rest;
    *isFolder = false;
    return true;
  }

  void Put(CallHead head, const std::string& name = {}, const std::string& target = {}, const void* data = nullptr) {
    struct stat st {};
    head.witnessSize = (!witness.empty() && stat(witness.c_str(), &st) == 0) ? static_cast<uint64_t>(st.st_size) : 0;
    head.nameBytes = static_cast<uint32_t>(name.size());
    head.targetBytes = static_cast<uint32_t>(target.size());
    std::string entry(reinterpret_cast<const char*>(&head), sizeof head);
    entry += name;
    entry += target;
    if (data != nullptr) entry.append(static_cast<const char*>(data), head.dataBytes);
    // O_APPEND and one write per entry; a short write would only end the record early.
    size_t done = 0;
    while (done < entry.size()) {
      ssize_t n = realWrite(log, entry.data() + done, entry.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
  }

  bool Tracked(int fd) const { return fd >= 0 && fd < kFds && (fds[fd].file || fds[fd].folder); }

  void Opened(int fd, const std::string& name, bool isFolder, bool created, bool emptied) {
    if (fd < 0 || fd >= kFds) return;
    fds[fd].file = !isFolder;
    fds[fd].folder = isFolder;
    CallHead head{};
    head.call = Call::Open;
    head.fd = fd;
    head.length = created ? 1 : 0;
    head.offset = emptied ? 1 : 0;
    head.folder = isFolder ? 1 : 0;
    Put(head, name);
  }
};

Recorder& TheRecorder() {
  static Recorder recorder;
  return recorder;
}

int OpenAt(int dirfd, const char* path, int flags, mode_t mode) {
  static auto real = Real<OpenatFn>("openat");
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  std::string name;
  bool isFolder = false;
  bool watched = r.InFolder(dirfd, path, &name, &isFolder);
  struct stat before {};
  bool existed = watched && fstatat(dirfd, path, &before, AT_SYMLINK_NOFOLLOW) == 0;
  int fd = real(dirfd, path, flags, mode);
  if (fd >= 0 && fd < kFds) r.fds[fd] = {};
  if (fd < 0 || !watched) return fd;
  // A folder below the watched one (the station's, opened to sync it) is not ours.
  struct stat opened {};
  if (!isFolder && fstat(fd, &opened) == 0 && S_ISDIR(opened.st_mode)) return fd;
  bool writes = (flags & O_ACCMODE) != O_RDONLY;
  r.Opened(fd, name, isFolder, !existed, existed && writes && (flags & O_TRUNC) != 0);
  return fd;
}

mode_t ModeOf(int flags, va_list arguments) {
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

ssize_t Written(int fd, const void* data, ssize_t n, off_t offset) {
  Recorder& r = TheRecorder();
  if (n > 0 && r.Tracked(fd) && r.fds[fd].file) {
    CallHead head{};
    head.call = Call::Write;
    head.fd = fd;
    head.offset = static_cast<uint64_t>(offset);
    head.length = static_cast<uint64_t>(n);
    head.dataBytes = static_cast<uint32_t>(n);
    r.Put(head, {}, {}, data);
  }
  return n;
}

int Truncated(int fd, off_t length, int result) {
  Recorder& r = TheRecorder();
  if (result == 0 && r.Tracked(fd) && r.fds[fd].file) {
    CallHead head{};
    head.call = Call::Truncate;
    head.fd = fd;
    head.length = static_cast<uint64_t>(length);
    r.Put(head);
  }
  return result;
}

int Synced(int fd, int result) {
  Recorder& r = TheRecorder();
  if (result == 0 && r.Tracked(fd)) {
    CallHead head{};
    head.call = Call::Sync;
    head.fd = fd;
    head.folder = r.fds[fd].folder ? 1 : 0;
    r.Put(head);
  }
  return result;
}

int Renamed(int olddir, const char* from, int newdir, const char* to, int result) {
  Recorder& r = TheRecorder();
  std::string fromName, toName;
  bool fromFolder = false, toFolder = false;
  if (result != 0) return result;
  bool a = r.InFolder(olddir, from, &fromName, &fromFolder);
  bool b = r.InFolder(newdir, to, &toName, &toFolder);
  if (a && b && !fromFolder && !toFolder) {
    CallHead head{};
    head.call = Call::Rename;
    r.Put(head, fromName, toName);
  }
  return result;
}

int Unlinked(int dirfd, const char* path, int result) {
  Recorder& r = TheRecorder();
  std::string name;
  bool isFolder = false;
  if (result == 0 && r.InFolder(dirfd, path, &name, &isFolder) && !isFolder) {
    CallHead head{};
    head.call = Call::Unlink;
    r.Put(head, name);
  }
  return result;
}

}  // namespace

extern "C" {

#define EXPORTED __attribute__((visibility("default")))

EXPORTED int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  return OpenAt(AT_FDCWD, path, flags, mode);
}

EXPORTED int open64(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  return OpenAt(AT_FDCWD, path, flags, mode);
}

EXPORTED int openat(int dirfd, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  return OpenAt(dirfd, path, flags, mode);
}

EXPORTED int openat64(int dirfd, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  return OpenAt(dirfd, path, flags, mode);
}

// What a fortified build calls for an open whose flags the compiler could not see.
EXPORTED int __open_2(const char* path, int flags) { return OpenAt(AT_FDCWD, path, flags, 0); }
EXPORTED int __open64_2(const char* path, int flags) { return OpenAt(AT_FDCWD, path, flags, 0); }

EXPORTED int creat(const char* path, mode_t mode) { return OpenAt(AT_FDCWD, path, O_WRONLY | O_CREAT | O_TRUNC, mode); }

EXPORTED ssize_t write(int fd, const void* data, size_t size) {
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  off_t at = r.Tracked(fd) ? lseek(fd, 0, SEEK_CUR) : 0;
  ssize_t n = r.realWrite(fd, data, size);
  return Written(fd, data, n, at);
}

EXPORTED ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
  static auto real = Real<PwriteFn>("pwrite");
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  return Written(fd, data, real(fd, data, size, offset), offset);
}

EXPORTED ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset) {
  static auto real = Real<PwriteFn>("pwrite64");
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  return Written(fd, data, real(fd, data, size, offset), offset);
}

EXPORTED int ftruncate(int fd, off_t length) {
  static auto real = Real<TruncateFn>("ftruncate");
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  return Truncated(fd, length, real(fd, length));
}

EXPORTED int ftruncate64(int fd, off_t length) {
  static auto real = Real<TruncateFn>("ftruncate64");
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  return Truncated(fd, length, real(fd, length));
}

EXPORTED int fsync(int fd) {
  static auto real = Real<SyncFn>("fsync");
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  return Synced(fd, real(fd));
}

EXPORTED int fdatasync(int fd) {
  static auto real = Real<SyncFn>("fdatasync");
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  return Synced(fd, real(fd));
}

EXPORTED int rename(const char* from, const char* to) {
  static auto real = Real<RenameFn>("rename");
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  return Renamed(AT_FDCWD, from, AT_FDCWD, to, real(from, to));
}

EXPORTED int renameat(int olddir, const char* from, int newdir, const char* to) {
  static auto real = Real<RenameatFn>("renameat");
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  return Renamed(olddir, from, newdir, to, real(olddir, from, newdir, to));
}

EXPORTED int renameat2(int olddir, const char* from, int newdir, const char* to, unsigned flags) {
  static auto real = Real<Renameat2Fn>("renameat2");
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  return Renamed(olddir, from, newdir, to, real(olddir, from, newdir, to, flags));
}

EXPORTED int unlink(const char* path) {
  static auto real = Real<UnlinkFn>("unlink");
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  return Unlinked(AT_FDCWD, path, real(path));
}

EXPORTED int unlinkat(int dirfd, const char* path, int flags) {
  static auto real = Real<UnlinkatFn>("unlinkat");
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  return Unlinked(dirfd, path, real(dirfd, path, flags));
}

EXPORTED int close(int fd) {
  static auto real = Real<CloseFn>("close");
  Recorder& r = TheRecorder();
  std::lock_guard<std::mutex> hold(r.lock);
  bool tracked = r.Tracked(fd);
  int result = real(fd);
  if (tracked) {
    r.fds[fd] = {};
    CallHead head{};
    head.call = Call::Close;
    head.fd = fd;
    r.Put(head);
  }
  return result;
}
}
