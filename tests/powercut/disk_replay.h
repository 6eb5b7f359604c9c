// The disk of one folder rebuilt from a recorded run's file calls, and the
// states a power cut could leave it in at any point of the run: what was
// synced is there; a write not yet synced may be lost, wholly or in part; a
// create, rename or unlink not followed by a sync of the folder may be undone.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/powercut/file_call_log.h"

namespace powercut {

struct RecordedCall {
  CallHead head;
  std::string name;
  std::string target;
  std::string data;
};

// The calls in the record at `path`, in order; false when it cannot be read
// or ends inside a call.
bool ReadCallLog(const std::string& path, std::vector<RecordedCall>* calls);

// A folder as a power cut left it: file name -> content.
struct CutState {
  std::map<std::string, std::string> files;
  std::string how;  // which unsynced changes it kept, for a failure message
};

class DiskReplay {
 public:
  // The folder before the run, taken as wholly on the disk.
  explicit DiskReplay(const std::map<std::string, std::string>& start);

  // One more call of the run. False for a call the replay cannot follow (a
  // write to a descriptor it never saw opened).
  bool Apply(const RecordedCall& call);

  // The states a power cut at this point may leave, each once. Which ones:
  // the unsynced changes to names kept all, all but the last one, two or three
  // (undone from the newest back, as a journal that commits in order would
  // lose them), or none; crossed with the unsynced writes kept all, lost all,
  // lost for one file alone, or that file's last write torn in half. Files
  // whose names end in one of `ignoredSuffixes` (rebuilt by their owner at the
  // next open, as SQLite's shared-memory index is) are left out.
  std::vector<CutState> States(const std::vector<std::string>& ignoredSuffixes) const;

  // The folder as the kernel held it (a kill, not a power cut).
  std::map<std::string, std::string> Current() const;

 private:
  enum class Keep { All, None, Torn };
  struct Change {
    bool truncate = false;
    uint64_t offset = 0;  // a write's
    uint64_t length = 0;  // a truncation's
    std::string data;     // a write's
  };
  struct FileData {
    std::string synced;
    std::vector<Change> unsynced;
  };
  struct NameChange {
    enum { Link, Rename, Unlink } kind;
    std::string name;
    std::string target;
    int file = -1;  // a Link's
  };

  std::map<std::string, int> Names(size_t keptChanges) const;
  std::string Content(int file, Keep keep) const;
  static void ApplyChange(const Change& change, std::string* content);

  std::vector<FileData> files_;
  std::map<std::string, int> syncedNames_;
  std::vector<NameChange> unsyncedNames_;
  std::map<int32_t, int> open_;  // descriptor -> file
};

}  // namespace powercut
