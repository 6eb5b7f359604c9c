// Where a file really lives: on what kind of file system, under how many names.
// Paths are native names (UTF-8 here, converted to wide text on Windows).
#pragma once

#include <string>

namespace platform {

// True when the file (or, while it is missing, its folder) is on a file system
// of another machine: NFS, SMB/CIFS and the like here, a remote drive or a UNC
// path on Windows. Local locks and shared memory do not hold across machines there.
bool OnNetworkFileSystem(const std::string& path);

// How many directory entries name the file (hard links); 0 when it is missing.
unsigned HardLinkCount(const std::string& path);

}  // namespace platform
