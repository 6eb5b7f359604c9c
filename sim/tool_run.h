// What nvscmd.exe does with a parsed command line, on the SPI flash of the
// module on the named adapter, printing its progress as it goes.
#pragma once

#include "sim/station.h"
#include "sim/tool_command.h"

namespace sim {

// Exit codes of the tool.
enum ToolExit : int {
  kToolOk = 0,
  kToolFailed = 1,      // anything unforeseen
  kToolUsage = 2,
  kToolFileMissing = 3,
  kToolNoDevice = 4,    // no adapter, no module or no SPI flash
  kToolLocked = 5,
  kToolNoAnswer = 6,    // the device did not respond (injected), or a write failed
  kToolBadFile = 7,     // malformed, or larger than the flash
  kToolProgramming = 8, // programming ended with an error number
};

int RunToolCommand(const Station& station, const ToolCommand& command);

}  // namespace sim
