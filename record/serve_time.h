// The record's times are local wall-clock texts, "YYYY-MM-DD HH:MM:SS", which
// sort as they read. The dashboard's windows and rates are worked out on those
// texts as they stand: the line's clocks keep no daylight-saving time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace record {

// Seconds from 1970-01-01 00:00:00 of the same wall clock; nothing for a text
// that is not a real time of that form (the seconds may be left off).
std::optional<int64_t> ParseLocalTime(std::string_view text);

// Back to "YYYY-MM-DD HH:MM:SS".
std::string LocalTimeFromSeconds(int64_t seconds);

}  // namespace record
