// Windows only: where a path really leads, symbolic links followed.
#pragma once

#include <string>

namespace platform {

// The final path of `path`, without the "\\?\" the system puts before it;
// empty when it cannot be opened.
std::wstring FinalPath(const std::wstring& path);

}  // namespace platform
