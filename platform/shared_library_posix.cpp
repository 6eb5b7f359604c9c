#include "platform/shared_library.h"

#include <dlfcn.h>

#include "platform/gbk.h"

namespace platform {

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::string& path, std::string* error) {
  void* handle = dlopen(GbkToUtf8(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    if (error != nullptr) *error = Utf8ToGbk(why != nullptr ? why : "cannot load");
    return nullptr;
  }
  return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() { dlclose(handle_); }

void* SharedLibrary::Symbol(const char* name) const { return dlsym(handle_, name); }

}  // namespace platform
