#include "sim/station.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <unistd.h>

#include "platform/profile_file.h"
#include "sim/default_station.h"

namespace sim {
namespace {

constexpr size_t kValueLimit = 4096;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Written beside the final name and renamed over it, so that a second process
// starting at the same moment sees no file or a whole one.
void CreateDefault(const std::string& folder, const std::string& ini) {
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  if (std::filesystem::exists(ini, ignored)) return;
  std::string temp = ini + ".new." + std::to_string(getpid());
  {
    std::ofstream out(temp, std::ios::binary);
    out << DefaultStationText();
  }
  std::filesystem::rename(temp, ini, ignored);
  if (ignored) std::filesystem::remove(temp, ignored);
}

}  // namespace

Station::Station() : folder_("station"), ini_("station/station.ini") {
  std::error_code ignored;
  if (!std::filesystem::exists(ini_, ignored)) CreateDefault(folder_, ini_);
}

std::string Station::FilePath(std::string_view name) const { return folder_ + "/" + std::string(name); }

std::string Station::Text(std::string_view section, std::string_view key, std::string_view fallback) const {
  std::string value = platform::ReadProfileString(section, key, kValueLimit, ini_);
  return value.empty() ? std::string(fallback) : value;
}

int64_t Station::Integer(std::string_view section, std::string_view key, int64_t fallback) const {
  std::string text = Text(section, key);
  if (text.empty()) return fallback;
  char* end = nullptr;
  long long value = std::strtoll(text.c_str(), &end, 0);
  return (end == text.c_str() || !Trim(end).empty()) ? fallback : value;
}

double Station::Real(std::string_view section, std::string_view key, double fallback) const {
  std::string text = Text(section, key);
  if (text.empty()) return fallback;
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  return (end == text.c_str() || !Trim(end).empty()) ? fallback : value;
}

bool Station::Flag(std::string_view section, std::string_view key, bool fallback) const {
  std::string text = Text(section, key);
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (text == "yes" || text == "on" || text == "true" || text == "pass" || text == "1") return true;
  if (text == "no" || text == "off" || text == "false" || text == "fail" || text == "0") return false;
  return fallback;
}

bool Station::Set(std::string_view section, std::string_view key, std::string_view value) const {
  return platform::WriteProfileString(section, key, value, ini_);
}

bool Station::SetAll(std::string_view section,
                     std::initializer_list<std::pair<std::string_view, std::string>> values) const {
  std::vector<platform::ProfileEntry> entries;
  for (const auto& [key, value] : values) entries.push_back({section, key, value});
  return platform::WriteProfileStrings(entries, ini_, platform::RenameSync::Now);
}

std::vector<Adapter> Station::Adapters() const {
  std::vector<Adapter> adapters;
  for (const std::string& id : SplitList(Text("station", "adapters"))) {
    std::string section = "adapter " + id;
    adapters.push_back({id, Text(section, "name", id), Text(section, "transport"), Text(section, "module")});
  }
  return adapters;
}

std::optional<Adapter> Station::AdapterWithTransport(std::string_view transport) const {
  for (Adapter& adapter : Adapters()) {
    if (!adapter.transport.empty() && adapter.transport == transport) return adapter;
  }
  return std::nullopt;
}

std::optional<std::string> Station::ModuleOn(const Adapter& adapter) const {
  if (adapter.module.empty() || !ModulePresent(adapter.module)) return std::nullopt;
  return adapter.module;
}

bool Station::ModulePresent(std::string_view module) const {
  return !module.empty() && Flag(ModuleSection(module), "present", false);
}

bool Station::Instant() const { return Text("station", "timing", "realistic") == "instant"; }

bool Station::Tracing() const { return Flag("station", "trace", false); }

std::string ModuleSection(std::string_view module) { return "module " + std::string(module); }

std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> items;
  while (true) {
    size_t comma = text.find(',');
    std::string_view item = Trim(text.substr(0, comma));
    if (!item.empty()) items.emplace_back(item);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return items;
}

}  // namespace sim
