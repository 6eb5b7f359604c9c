#include "record/serve_time.h"

#include <chrono>
#include <cstdio>

namespace record {
namespace {

bool Digits(std::string_view text, size_t at, size_t count, int* value) {
  *value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    *value = *value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

std::optional<int64_t> ParseLocalTime(std::string_view text) {
  if (text.size() != 16 && text.size() != 19) return std::nullopt;
  int year, month, day, hour, minute, second = 0;
  if (!Digits(text, 0, 4, &year) || text[4] != '-' || !Digits(text, 5, 2, &month) || text[7] != '-' ||
      !Digits(text, 8, 2, &day) || text[10] != ' ' || !Digits(text, 11, 2, &hour) || text[13] != ':' ||
      !Digits(text, 14, 2, &minute)) {
    return std::nullopt;
  }
  if (text.size() == 19 && (text[16] != ':' || !Digits(text, 17, 2, &second))) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                         std::chrono::day(static_cast<unsigned>(day))};
  if (!date.ok() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  const int64_t days = std::chrono::sys_days(date).time_since_epoch().count();
  return days * 86400 + hour * 3600 + minute * 60 + second;
}

std::string LocalTimeFromSeconds(int64_t seconds) {
  int64_t days = seconds / 86400, rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  const std::chrono::year_month_day date{std::chrono::sys_days(std::chrono::days(days))};
  char text[32];
  snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
           static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), static_cast<int>(rest / 3600),
           static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
  return text;
}

}  // namespace record
