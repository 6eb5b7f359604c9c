// The name of this machine, which names the station in the production record.
#pragma once

#include <string>

namespace platform {

// Native text; "station" when the system gives none.
std::string HostName();

// The local time now, "YYYY-MM-DD HH:MM:SS".
std::string LocalTimeText();

}  // namespace platform
