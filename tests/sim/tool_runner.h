// Runs the real nvscmd.exe in the working folder, no shell between, and
// collects what it writes to each stream and when.
#pragma once

#include <string>
#include <vector>

namespace simtest {

struct ToolRun {
  int exit = -1;
  std::string out;
  std::string err;
  int reads = 0;               // reads that returned data, both streams
  double firstOutputMs = -1;   // since start
  double endMs = 0;
};

ToolRun RunTool(const std::vector<std::string>& arguments);

}  // namespace simtest
