#include "platform/replace_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

namespace platform {
namespace {

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

bool WriteAll(int fd, const std::string& content) {
  size_t done = 0;
  while (done < content.size()) {
    ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Opens the temporary file and holds its lock. A writer that waited for the
// lock may find the file it opened already renamed over the target; it must
// not write there, so it opens the name afresh.
int OpenLockedTemporary(const std::string& temp) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return -1;
    if (flock(fd, LOCK_EX) != 0) {
      close(fd);
      return -1;
    }
    struct stat held {}, named {};
    if (fstat(fd, &held) == 0 && stat(temp.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
        held.st_dev == named.st_dev) {
      return fd;
    }
    close(fd);
  }
  return -1;
}

}  // namespace

std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::vector<char> target(PATH_MAX + 1);
    ssize_t n = readlink(current.c_str(), target.data(), target.size() - 1);
    if (n <= 0) return current;
    std::string next(target.data(), static_cast<size_t>(n));
    current = next.front() == '/' ? next : FolderOf(current) + next;
  }
  return current;
}

bool ReplaceFileContents(const std::string& path, const std::string& content, RenameSync sync) {
  const std::string target = FollowLinks(path);
  // One fixed name: a write cut short leaves at most this one file, which the
  // next write takes over.
  const std::string temp = target + ".tmp";
  int fd = OpenLockedTemporary(temp);
  if (fd < 0) return false;
  struct stat old {};
  bool ok = fchmod(fd, stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644) == 0;
  ok = ok && ftruncate(fd, 0) == 0 && WriteAll(fd, content) && fsync(fd) == 0;
  ok = ok && rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  close(fd);  // releases the lock, after the rename
  if (!ok) return false;
  if (sync == RenameSync::Now) {
    int dir = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      fsync(dir);
      close(dir);
    }
  }
  return true;
}

}  // namespace platform
