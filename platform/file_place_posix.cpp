#include "platform/file_place.h"

#include <sys/stat.h>
#include <sys/statfs.h>

#include <cerrno>
#include <cstdint>

namespace platform {
namespace {

// statfs's f_type of the file systems whose files live on another machine.
constexpr uint32_t kRemoteTypes[] = {
    0x6969,      // NFS
    0x517B,      // SMB
    0xFF534D42,  // CIFS
    0xFE534D42,  // SMB2
    0x564C,      // NCP (NetWare)
    0x5346414F,  // AFS
    0x6B414653,  // kAFS
    0x73757245,  // Coda
    0x01021997,  // 9P
    0x00C36400,  // Ceph
    0x0BD00BD0,  // Lustre
};

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

bool OnNetworkFileSystem(const std::string& path) {
  struct statfs fs {};
  if (statfs(path.c_str(), &fs) != 0) {
    if (errno != ENOENT || statfs(FolderOf(path).c_str(), &fs) != 0) return false;
  }
  const uint32_t type = static_cast<uint32_t>(fs.f_type);
  for (uint32_t remote : kRemoteTypes) {
    if (type == remote) return true;
  }
  return false;
}

unsigned HardLinkCount(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return 0;
  return static_cast<unsigned>(st.st_nlink);
}

}  // namespace platform
