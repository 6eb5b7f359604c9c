// Where the embedded ledger keeps its files for a given btconfig.ini. The lock
// and production.db sit beside the file the counter really is in, symbolic
// links followed: every folder whose btconfig.ini leads to one file shares one
// lock and one set of marks. A btconfig.ini that is no link keeps them in its
// own folder, as always.
#pragma once

#include <string>

namespace ledger {

struct CounterFiles {
  std::string counter;  // btconfig.ini itself, links followed
  std::string lock;     // btconfig.ini.lock beside it
  std::string record;   // production.db beside it
};

// For `settingsFile`, the GBK path of btconfig.ini; the results are native paths.
CounterFiles CounterFilesFor(const std::string& settingsFile);

}  // namespace ledger
