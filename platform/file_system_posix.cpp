#include "platform/file_system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <vector>

#include "platform/gbk.h"

namespace platform {

std::string CurrentDirectory() {
  std::vector<char> buffer(PATH_MAX);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return Utf8ToGbk(buffer.data());
}

bool SetCurrentDirectory(const std::string& path) { return chdir(GbkToUtf8(path).c_str()) == 0; }

FileKind StatusOf(const std::string& path) {
  struct stat st {};
  if (path.empty() || stat(GbkToUtf8(path).c_str(), &st) != 0) return FileKind::Missing;
  if (S_ISREG(st.st_mode)) return FileKind::Regular;
  if (S_ISDIR(st.st_mode)) return FileKind::Folder;
  return FileKind::Other;
}

std::string ResolveShortcut(const std::string& path) {
  std::string native = GbkToUtf8(path);
  struct stat st {};
  if (native.empty() || lstat(native.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return {};
  std::vector<char> target(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
  ssize_t n = readlink(native.c_str(), target.data(), target.size() - 1);
  if (n < 0) return {};
  std::string result(target.data(), static_cast<size_t>(n));
  if (!result.empty() && result.front() != '/') {
    size_t slash = native.find_last_of('/');
    result = (slash == std::string::npos ? std::string(".") : native.substr(0, slash)) + "/" + result;
  }
  return Utf8ToGbk(result);
}

std::string ProgramFolder() {
  std::vector<char> buffer(PATH_MAX + 1);
  ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return ".";
  std::string exe(buffer.data(), static_cast<size_t>(n));
  return Utf8ToGbk(exe.substr(0, exe.find_last_of('/')));
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace platform
