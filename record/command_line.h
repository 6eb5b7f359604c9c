// The command line of tarnwick-record:
//   tarnwick-record [--db PATH] export FILE.csv | check | summary
// PATH defaults to production.db beside the file ./btconfig.ini leads to.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace record {

inline constexpr int kExitOk = 0;
inline constexpr int kExitDuplicate = 1;  // check found an address in two modules
inline constexpr int kExitError = 2;      // usage, a missing or unreadable record, a file not written

// `args` without the program's name. Findings and tables go to `out`, errors to `err`.
int RunRecordTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace record
