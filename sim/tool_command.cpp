#include "sim/tool_command.h"

#include <cctype>

namespace sim {
namespace {

bool IsNumber(const std::string& text) {
  if (text.empty() || text.size() > 3) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

}  // namespace

ParseOutcome ParseToolCommand(const std::vector<std::string>& arguments, ToolCommand* command, std::string* error) {
  if (arguments.size() < 3) {
    *error = "expected: -usb N | -lpt N, then burn <file> | dump <file> | erase";
    return ParseOutcome::Usage;
  }
  const std::string& bus = arguments[0];
  if ((bus != "-usb" && bus != "-lpt") || !IsNumber(arguments[1])) {
    *error = "unknown option '" + bus + "'; expected -usb N or -lpt N";
    return ParseOutcome::Usage;
  }
  command->transport = std::string("SPITRANS=") + (bus == "-usb" ? "USB" : "LPT") + " SPIPORT=" + arguments[1];
  const std::string& action = arguments[2];
  size_t rest = arguments.size() - 3;
  if (action == "erase") {
    command->action = ToolAction::Erase;
    if (rest == 0) return ParseOutcome::Ok;
    *error = "erase takes no file";
    return ParseOutcome::Usage;
  }
  if (action != "burn" && action != "dump") {
    *error = "unknown command '" + action + "'; expected burn, dump or erase";
    return ParseOutcome::Usage;
  }
  command->action = action == "burn" ? ToolAction::Burn : ToolAction::Dump;
  if (rest == 0) {
    *error = action + " needs a file";
    return ParseOutcome::Usage;
  }
  command->file = arguments[3];
  if (rest == 1) return ParseOutcome::Ok;
  for (size_t i = 4; i < arguments.size(); ++i) command->file += " " + arguments[i];
  if (command->action == ToolAction::Dump) {
    *error = "dump takes one file name, not '" + command->file + "'";
    return ParseOutcome::Usage;
  }
  *error = "cannot find file '" + command->file + "' (a path with blanks arrives in pieces)";
  return ParseOutcome::FileMissing;
}

}  // namespace sim
