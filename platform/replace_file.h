// Replacing a whole small file so that a crash or a power cut leaves the old
// content or the new one, never a torn file, and no stray files beside it.
#pragma once

#include <string>

namespace platform {

enum class RenameSync {
  Now,    // the replacement has reached the disk when the call returns
  Later,  // the new content is on disk, but a power cut may still bring back
          // the old file whole; for callers whose record elsewhere covers that
};

// Writes `content` to one fixed temporary file beside the file `path` names
// (after following symbolic links, so a link stays a link and its target
// changes), flushes it and renames it over the target. `path` is the native
// (UTF-8) name. False when any step failed; the old file is then unchanged.
bool ReplaceFileContents(const std::string& path, const std::string& content, RenameSync sync);

// The file a chain of symbolic links ends at (the path itself when it is no
// link); relative link targets count from the link's own folder.
std::string FollowLinks(const std::string& path);

}  // namespace platform
