// The bench's findings, printed: the program against the floor, the program's
// presses split into the libraries' share and its own, fsyncs by file, memory.
#pragma once

#include <map>
#include <string>

#include "bench/bench_folder.h"
#include "bench/measurement.h"
#include "bench/process_counters.h"

namespace bench {

struct Findings {
  long presses = 0;
  long block = 0;
  BenchFolder folder;
  Series floor;
  Series program;
  const FsyncCounter* counter = nullptr;
  std::map<std::string, FsyncTally> fsyncFilesBefore;  // before the timed presses
  long addresses = 0;
};

void PrintFindings(const Findings& findings);

}  // namespace bench
