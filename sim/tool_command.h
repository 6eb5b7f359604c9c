// The flash tool's command lines:
//   nvscmd.exe -usb N burn <file>     nvscmd.exe -lpt N burn <file>
//   nvscmd.exe -usb N dump <file>     nvscmd.exe -lpt N dump <file>
//   nvscmd.exe -usb N erase           nvscmd.exe -lpt N erase
#pragma once

#include <string>
#include <vector>

namespace sim {

enum class ToolAction { Burn, Dump, Erase };

struct ToolCommand {
  std::string transport;  // "SPITRANS=USB SPIPORT=0"
  ToolAction action = ToolAction::Erase;
  std::string file;
};

enum class ParseOutcome { Ok, Usage, FileMissing };

// Fills `command`, or gives the outcome with `error` for the operator. A file
// name that arrives in several pieces (a path with blanks, unquoted) names no
// file that exists: it is reported as missing, pieces joined.
ParseOutcome ParseToolCommand(const std::vector<std::string>& arguments, ToolCommand* command, std::string* error);

}  // namespace sim
