#pragma once

#include <string_view>

namespace res {

// The string table; empty for an id it does not hold. GBK.
std::string_view LoadString(int id);

// The application's title, the caption of its message boxes.
inline constexpr const char* kAppTitle = "Tarnwick";

}  // namespace res
