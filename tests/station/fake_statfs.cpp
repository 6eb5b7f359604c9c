// An LD_PRELOAD shim: statfs answers with the file system type that
// TARNWICK_STATFS_TYPE names (hexadecimal) for every path that contains
// TARNWICK_STATFS_MATCH (every path when that is empty or unset); the rest of
// the answer is the real one. It lets a station program see its folder as a
// network mount that this machine cannot make.
#include <dlfcn.h>
#include <sys/statfs.h>

#include <cstdlib>
#include <cstring>

namespace {

void Fake(const char* path, long* type) {
  const char* faked = getenv("TARNWICK_STATFS_TYPE");
  if (faked == nullptr || *faked == '\0') return;
  const char* match = getenv("TARNWICK_STATFS_MATCH");
  if (match != nullptr && *match != '\0' && strstr(path, match) == nullptr) return;
  *type = static_cast<long>(strtoul(faked, nullptr, 16));
}

template <typename Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int statfs(const char* path, struct statfs* buf) noexcept {
  static auto real = Real<int (*)(const char*, struct statfs*)>("statfs");
  int result = real(path, buf);
  if (result == 0) {
    long type = static_cast<long>(buf->f_type);
    Fake(path, &type);
    buf->f_type = type;
  }
  return result;
}

__attribute__((visibility("default"))) int statfs64(const char* path, struct statfs64* buf) noexcept {
  static auto real = Real<int (*)(const char*, struct statfs64*)>("statfs64");
  int result = real(path, buf);
  if (result == 0) {
    long type = static_cast<long>(buf->f_type);
    Fake(path, &type);
    buf->f_type = type;
  }
  return result;
}
}
