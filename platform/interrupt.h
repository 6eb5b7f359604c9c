// Ctrl+C (and, on POSIX, SIGTERM) for a program that serves until it is told
// to stop: the action runs on a thread of its own, never inside a signal
// handler, so it may take locks and close sockets.
#pragma once

#include <functional>
#include <memory>

namespace platform {

class InterruptWatch {
 public:
  // Made before the program starts other threads, which then leave Ctrl+C to it.
  explicit InterruptWatch(std::function<void()> onInterrupt);
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace platform
