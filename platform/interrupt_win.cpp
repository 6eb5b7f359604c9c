#include "platform/interrupt.h"

#include <windows.h>

#include <mutex>

namespace platform {

struct InterruptWatch::State {
  std::function<void()> onInterrupt;
};

namespace {

std::mutex watchLock;
InterruptWatch::State* watching = nullptr;

// Windows calls it on a thread of its own.
BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  std::lock_guard<std::mutex> hold(watchLock);
  if (watching != nullptr) watching->onInterrupt();
  return TRUE;
}

}  // namespace

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) : state_(std::make_unique<State>()) {
  state_->onInterrupt = std::move(onInterrupt);
  std::lock_guard<std::mutex> hold(watchLock);
  watching = state_.get();
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

InterruptWatch::~InterruptWatch() {
  SetConsoleCtrlHandler(OnConsoleControl, FALSE);
  std::lock_guard<std::mutex> hold(watchLock);
  watching = nullptr;
}

}  // namespace platform
