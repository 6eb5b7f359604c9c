#include "sim/fault_rules.h"

#include <cstdlib>
#include <sstream>

namespace sim {
namespace {

bool ParseNumber(const std::string& text, int64_t* value) {
  char* end = nullptr;
  long long v = std::strtoll(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0') return false;
  *value = v;
  return true;
}

// "bc5 after 2 code 7": a target, then keyword-number pairs in any order.
std::optional<FaultRule> ParseRule(const std::string& item) {
  std::istringstream words(item);
  FaultRule rule;
  if (!(words >> rule.target)) return std::nullopt;
  std::string keyword, number;
  while (words >> keyword) {
    int64_t value = 0;
    if (!(words >> number) || !ParseNumber(number, &value)) return std::nullopt;
    if (keyword == "after") rule.after = value;
    else if (keyword == "code") rule.code = value;
    else if (keyword == "at") rule.at = value;
    else return std::nullopt;
  }
  return rule;
}

}  // namespace

std::optional<FaultRule> FindFault(const Station& station, std::string_view key, std::string_view target) {
  for (const std::string& item : SplitList(station.Text("faults", key))) {
    std::optional<FaultRule> rule = ParseRule(item);
    if (rule && (rule->target == "*" || rule->target == target)) return rule;
  }
  return std::nullopt;
}

std::optional<FaultRule> Strike(const Station& station, std::string_view key, std::string_view target) {
  std::optional<FaultRule> rule = FindFault(station, key, target);
  if (!rule || rule->after <= 0) return rule;
  std::string counter = std::string(key) + " " + rule->target;
  int64_t calls = station.Integer("fault calls", counter, 0) + 1;
  station.Set("fault calls", counter, std::to_string(calls));
  if (calls > rule->after) return rule;
  return std::nullopt;
}

}  // namespace sim
