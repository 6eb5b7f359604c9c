#include <iostream>
#include <string>
#include <vector>

#include "record/command_line.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  int status = record::RunRecordTool(args, std::cout, std::cerr);
  std::cout.flush();
  // Output that could not be written (a full disk, a closed pipe) is an error too.
  return std::cout.good() ? status : record::kExitError;
}
