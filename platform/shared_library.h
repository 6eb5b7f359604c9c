// A shared library opened by path, its functions found by exported name.
#pragma once

#include <memory>
#include <string>

namespace platform {

class SharedLibrary {
 public:
  // Null with `error` filled when the library cannot be loaded. `path` is GBK.
  static std::unique_ptr<SharedLibrary> Open(const std::string& path, std::string* error);
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  void* Symbol(const char* name) const;

 private:
  explicit SharedLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace platform
