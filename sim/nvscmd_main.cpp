// nvscmd.exe: the command-line flash tool of the simulated station.
#include <cstdio>
#include <string>
#include <vector>

#include "sim/call_trace.h"
#include "sim/tool_command.h"
#include "sim/tool_run.h"

int main(int argc, char** argv) {
  try {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    sim::Station station;
    sim::TraceLine trace("nvscmd");
    for (const std::string& argument : arguments) trace.Text(argument.c_str());
    sim::ToolCommand command;
    std::string error;
    int exit = sim::kToolOk;
    switch (sim::ParseToolCommand(arguments, &command, &error)) {
      case sim::ParseOutcome::Ok: exit = sim::RunToolCommand(station, command); break;
      case sim::ParseOutcome::Usage: exit = sim::kToolUsage; break;
      case sim::ParseOutcome::FileMissing: exit = sim::kToolFileMissing; break;
    }
    if (!error.empty()) std::fprintf(stderr, "Error: %s\n", error.c_str());
    return sim::Traced(station, trace, exit);
  } catch (...) {
    std::fputs("Error: the tool stopped unexpectedly\n", stderr);
    return sim::kToolFailed;
  }
}
