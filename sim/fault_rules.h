// Faults asked for in the [faults] section: each key names an exported
// function (or one of the knobs flash_error, progress_stall, nvscmd,
// nvscmd_no_file, bdaddr_not_kept, bdaddr_answer_lost) and its value lists
// the modules it strikes:
//   psWriteBdAddr = bc7              every call on bc7 fails
//   bccmdSetColdReset = * after 1    the first call on any module passes, the rest fail
//   flash_error = bc5 code 7         programming bc5 ends with error 7
//   progress_stall = bc5 at 45       programming bc5 stops at 45 %
//   bdaddr_not_kept = bc5            psWriteBdAddr answers 1, bc5 keeps its old address
//   bdaddr_answer_lost = * after 3   from the fourth write on, the module takes the address and the call answers 0
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/station.h"

namespace sim {

struct FaultRule {
  std::string target;  // a module id, "reference", or "*" for any
  int64_t after = 0;   // calls that still pass before the fault strikes
  std::optional<int64_t> code;
  std::optional<int64_t> at;
};

// The first rule of `key` that names `target` or "*".
std::optional<FaultRule> FindFault(const Station& station, std::string_view key, std::string_view target);

// Whether the fault strikes this call. A rule with "after" counts the calls in
// the [fault calls] section, so the count carries across processes and runs.
std::optional<FaultRule> Strike(const Station& station, std::string_view key, std::string_view target);

}  // namespace sim
