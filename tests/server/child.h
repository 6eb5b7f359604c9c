// Programs the server tests start beside themselves: station programs and
// tarnwick-record, in a folder of their own, their output into files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pgtest {

// A started program: its process id here, its process handle on Windows.
using ChildId = intptr_t;

// Starts `program` with `args` in `folder`; its standard output appended to
// `out`, its errors to `err` (to `out` when empty). 0 when it could not start.
ChildId StartChild(const std::string& program, const std::vector<std::string>& args, const std::string& folder,
                   const std::string& out, const std::string& err = "");
// Its exit code, waited for; 128 + the signal of a killed one here.
int WaitChild(ChildId child);
// Ends it at once, with no say of its own (kill -9, TerminateProcess), and waits for it.
void KillChild(ChildId child);

}  // namespace pgtest
