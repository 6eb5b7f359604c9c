// Profile files (sections of key=value lines), read and written the way the
// line PCs' btconfig.ini has always been: names compare without case, blanks
// around names and values do not count, one pair of matching quotes around a
// value is dropped, the first of two equal sections or keys wins, ';' starts a
// comment. A line ends at CR LF, LF or a lone CR; a UTF-8 byte-order mark
// before the first line is kept but is no part of it. A write changes one line
// and leaves every other byte as it was.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "platform/replace_file.h"

namespace platform {

// The value of `key`, cut to bufferSize - 1 bytes; empty when the file, the
// section or the key is missing or unreadable. `file` is a GBK path.
std::string ReadProfileString(std::string_view section, std::string_view key, size_t bufferSize,
                              const std::string& file);

// Sets `key` to `value`, creating the file, the section or the key as needed.
// The new file is written beside the old one and renamed over it, so a crash
// leaves the old file or the new one, never a torn one. A link named `file`
// stays a link; the file it points to changes. False when it failed, and
// always for a name or value holding a line end.
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& file);

struct ProfileEntry {
  std::string_view section;
  std::string_view key;
  std::string_view value;
};

// Several keys changed in one replacement of the file: all of them or none.
bool WriteProfileStrings(std::span<const ProfileEntry> entries, const std::string& file, RenameSync sync);

}  // namespace platform
