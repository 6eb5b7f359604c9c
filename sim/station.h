// The bench on disk: station/station.ini plus one image file per memory.
// Every call builds a Station afresh and asks the file, so the program, the
// flash tool (another process) and the next run all see the same modules.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

struct Adapter {
  std::string id;         // the section is "adapter <id>"
  std::string name;       // what the enumeration lists
  std::string transport;  // "SPITRANS=USB SPIPORT=0"
  std::string module;     // id of the module in its socket; empty: none
};

class Station {
 public:
  // The station folder under the working directory; the default station is
  // written there when it has none yet.
  Station();

  const std::string& Folder() const { return folder_; }
  std::string FilePath(std::string_view name) const;

  // Raw text of a key, or `fallback` when the key is missing or empty.
  std::string Text(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
  // Numbers accept decimal, 0x hex and a sign; unparsable text gives the fallback.
  int64_t Integer(std::string_view section, std::string_view key, int64_t fallback) const;
  double Real(std::string_view section, std::string_view key, double fallback) const;
  // yes/no, on/off, true/false, pass/fail, 1/0.
  bool Flag(std::string_view section, std::string_view key, bool fallback) const;
  bool Set(std::string_view section, std::string_view key, std::string_view value) const;
  // Several keys of one section in one write: a module takes its whole address or none of it.
  bool SetAll(std::string_view section, std::initializer_list<std::pair<std::string_view, std::string>> values) const;

  std::vector<Adapter> Adapters() const;
  std::optional<Adapter> AdapterWithTransport(std::string_view transport) const;
  // The module plugged into that adapter, when it is there and present.
  std::optional<std::string> ModuleOn(const Adapter& adapter) const;
  bool ModulePresent(std::string_view module) const;

  bool Instant() const;  // timing = instant
  bool Tracing() const;

 private:
  std::string folder_;
  std::string ini_;
};

// "module <id>": where a module's keys live.
std::string ModuleSection(std::string_view module);

// Splits on commas, trimming blanks; empty items are dropped.
std::vector<std::string> SplitList(std::string_view text);

}  // namespace sim
