// The file calls a recorded run made in one folder, as the preloaded recorder
// writes them and the power-cut test reads them back: one fixed-size head per
// call, then its names and the bytes it wrote.
#pragma once

#include <cstdint>

namespace powercut {

// The environment that tells the preloaded recorder what to record.
inline constexpr const char* kLogVariable = "TARNWICK_FILE_CALL_LOG";        // where the record goes
inline constexpr const char* kFolderVariable = "TARNWICK_FILE_CALL_FOLDER";  // absolute; only its own files count
inline constexpr const char* kWitnessVariable = "TARNWICK_FILE_CALL_WITNESS";  // a file whose size each call notes

enum class Call : uint32_t {
  Open = 1,    // `fd` now names `name`; `length` 1 when the call created it, `offset` 1 when it emptied it
  Write,       // `length` bytes at `offset` of the file of `fd`
  Truncate,    // the file of `fd` cut or grown to `length`
  Sync,        // fsync or fdatasync of `fd`, a file or the folder itself
  Rename,      // `name` became `target`, replacing whatever `target` was
  Unlink,      // `name` removed
  Close,       // `fd` closed
};

struct CallHead {
  Call call;
  int32_t fd;
  uint64_t offset;
  uint64_t length;
  uint64_t witnessSize;  // the witness file's size when the call was made
  uint32_t nameBytes;
  uint32_t targetBytes;
  uint32_t dataBytes;
  uint32_t folder;  // 1: `fd` is the folder itself (an Open or Sync of it)
};

}  // namespace powercut
