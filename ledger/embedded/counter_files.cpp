#include "ledger/embedded/counter_files.h"

#include "ledger/embedded/record_db.h"
#include "platform/gbk.h"
#include "platform/replace_file.h"

namespace ledger {

CounterFiles CounterFilesFor(const std::string& settingsFile) {
  CounterFiles files;
  files.counter = platform::FollowLinks(platform::GbkToUtf8(settingsFile));
  files.lock = files.counter + ".lock";
  // Both separators: a Windows path may use either.
  size_t slash = files.counter.find_last_of("/\\");
  files.record = slash == std::string::npos ? std::string("./") + kRecordFile
                                            : files.counter.substr(0, slash + 1) + kRecordFile;
  return files;
}

}  // namespace ledger
