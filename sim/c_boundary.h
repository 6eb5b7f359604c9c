// Every exported function runs its body through here: no exception may leave a
// library through its C interface, so any throw becomes the failure result.
#pragma once

#include <mutex>

namespace sim {

template <typename R, typename Body>
R AtBoundary(R failure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

template <typename Body>
void AtBoundary(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

}  // namespace sim
