// Profile files (sections of key=value lines), read and written the way the
// line PCs' btconfig.ini has always been: names compare without case, blanks
// around names and values do not count, one pair of matching quotes around a
// value is dropped, the first of two equal sections or keys wins, ';' starts a
// comment. A write changes one line and leaves every other byte as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The value of `key`, cut to bufferSize - 1 bytes; empty when the file, the
// section or the key is missing or unreadable. `file` is a GBK path.
std::string ReadProfileString(std::string_view section, std::string_view key, size_t bufferSize,
                              const std::string& file);

// Sets `key` to `value`, creating the file, the section or the key as needed.
// The new file is written beside the old one and renamed over it, so a crash
// leaves the old file or the new one, never a torn one. False when it failed.
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& file);

}  // namespace platform
