// TestFlash's one transport of its own: what lives between flInitTrans and
// flClose, and the programming run (in a thread of its own after
// flProgramSpawn, in the caller's after flProgramBlock).
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "sim/firmware_file.h"
#include "sim/memory_store.h"
#include "sim/station.h"

namespace sim {

// TestFlash's error numbers; an injected flash_error brings its own.
enum FlashError : int32_t {
  kFlashOk = 0,
  kFlashNotOpen = 1,
  kFlashNotReady = 2,    // processor running, no flash type, no file loaded, or busy
  kFlashNotFitted = 3,   // the module has no such flash
  kFlashBadFile = 4,     // missing or malformed
  kFlashTooLarge = 5,    // the image does not fit the part
  kFlashWriteFailed = 6,
  kFlashLocked = 8,      // the SPI port is locked
  kFlashInjected = 9,    // a fault from the station file
};

// What a programming run is told before it starts.
struct ProgramPlan {
  std::string module;
  Memory flash = Memory::ParallelFlash;
  WordImage image;
  int durationMs = 0;
  std::optional<int32_t> stallAt;     // progress stops here for good
  std::optional<int32_t> errorCode;   // the run ends with this error
};

struct FlashSession {
  bool open = false;
  std::string module;
  bool processorStopped = false;
  std::optional<Memory> flash;
  std::optional<WordImage> image;

  std::atomic<int32_t> progress{0};
  std::atomic<int32_t> lastError{0};
  std::atomic<int32_t> downloadMs{0};
  std::atomic<bool> running{false};
  std::atomic<bool> cancel{false};
  std::thread worker;

  // Stops a run in progress and forgets everything.
  void Reset();
};

FlashSession& Session();
std::mutex& FlashMutex();

// The run itself; sets progress, the error and the download time as it goes.
void RunProgramming(FlashSession& session, const ProgramPlan& plan);

// Waits `ms`, in short slices so that a close can stop it.
void PausePolitely(int ms, const std::atomic<bool>& cancel);

}  // namespace sim
