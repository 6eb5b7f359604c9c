#include "sim/flash_session.h"

#include <chrono>

#include "platform/sleep.h"

namespace sim {

void FlashSession::Reset() {
  cancel = true;
  if (worker.joinable()) worker.join();
  cancel = false;
  running = false;
  open = false;
  module.clear();
  processorStopped = false;
  flash.reset();
  image.reset();
  progress = 0;
  lastError = 0;
  downloadMs = 0;
}

FlashSession& Session() {
  static FlashSession session;
  return session;
}

std::mutex& FlashMutex() {
  static std::mutex mutex;
  return mutex;
}

void PausePolitely(int ms, const std::atomic<bool>& cancel) {
  constexpr int kSlice = 10;
  for (int waited = 0; waited < ms && !cancel; waited += kSlice) {
    platform::SleepMs(static_cast<unsigned>(ms - waited < kSlice ? ms - waited : kSlice));
  }
}

void RunProgramming(FlashSession& session, const ProgramPlan& plan) {
  auto start = std::chrono::steady_clock::now();
  constexpr int kSteps = 20;
  for (int step = 1; step < kSteps; ++step) {
    PausePolitely(plan.durationMs / kSteps, session.cancel);
    if (session.cancel) break;
    int32_t percent = step * 100 / kSteps;
    if (plan.stallAt && percent >= *plan.stallAt) {
      session.progress = *plan.stallAt;
      session.running = false;
      return;
    }
    session.progress = percent;
  }
  PausePolitely(plan.durationMs / kSteps, session.cancel);
  if (session.cancel) {
    session.running = false;
    return;
  }
  if (plan.stallAt && *plan.stallAt < 100) {
    session.progress = *plan.stallAt;
    session.running = false;
    return;
  }
  int32_t error = kFlashOk;
  if (plan.errorCode) {
    error = *plan.errorCode;
  } else {
    Station station;
    if (!ProgramFlash(station, plan.module, plan.flash, plan.image)) error = kFlashWriteFailed;
  }
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  session.downloadMs = static_cast<int32_t>(elapsed.count());
  session.lastError = error;
  // Finished only once the flash holds the image, so a reader that sees 100 sees it all.
  session.progress = 100;
  session.running = false;
}

}  // namespace sim
