// What the station tests read from the station programs they ran: the log
// lines of their presses, the LAPs their modules took.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/server/server_fixture.h"

namespace pgtest::runs {

inline constexpr uint32_t kFirst = 0x100000;
inline constexpr const char* kWritten = "写蓝牙地址成功! ";

inline size_t WrittenSoFar(const std::string& station) {
  return pgtest::Occurrences(pgtest::Slurp(station + "/presses.log"), kWritten);
}
inline size_t PressesSoFar(const std::string& station) { return pgtest::Occurrences(pgtest::Slurp(station + "/presses.log"), "\n"); }

// Every LAP the modules of `stations` accepted, with how many modules took it.
inline std::map<uint32_t, int> AcceptedByAll(const std::vector<std::string>& stations) {
  std::map<uint32_t, int> taken;
  for (const std::string& station : stations) {
    for (uint32_t lap : station::AcceptedLaps(station + "/station/trace.log")) ++taken[lap];
  }
  return taken;
}

inline void ExpectOneModuleEach(const std::map<uint32_t, int>& taken) {
  for (const auto& [lap, modules] : taken) EXPECT_EQ(modules, 1) << std::hex << lap << " went into several modules";
}

}  // namespace pgtest::runs
