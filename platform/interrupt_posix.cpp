#include "platform/interrupt.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

namespace platform {

struct InterruptWatch::State {
  sigset_t signals;
  sigset_t before;
  std::atomic<bool> ending{false};
  std::thread waiter;
};

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt) : state_(std::make_unique<State>()) {
  sigemptyset(&state_->signals);
  sigaddset(&state_->signals, SIGINT);
  sigaddset(&state_->signals, SIGTERM);
  // Blocked here, and so in every thread started after: only the waiter takes them.
  pthread_sigmask(SIG_BLOCK, &state_->signals, &state_->before);
  State* state = state_.get();
  state_->waiter = std::thread([state, onInterrupt = std::move(onInterrupt)] {
    int signal = 0;
    while (sigwait(&state->signals, &signal) != 0) {
    }
    if (!state->ending) onInterrupt();
  });
}

InterruptWatch::~InterruptWatch() {
  state_->ending = true;
  // Wakes the waiter when no signal came; one that came already has ended it.
  pthread_kill(state_->waiter.native_handle(), SIGTERM);
  state_->waiter.join();
  pthread_sigmask(SIG_SETMASK, &state_->before, nullptr);
}

}  // namespace platform
