#include "platform/socket_wait.h"

#include <poll.h>

#include <cerrno>

namespace platform {

bool WaitSocket(long long socket, SocketEvent event, int timeoutMs) {
  pollfd wanted{};
  wanted.fd = static_cast<int>(socket);
  wanted.events = event == SocketEvent::Read ? POLLIN : event == SocketEvent::Write ? POLLOUT : POLLIN | POLLOUT;
  int ready = poll(&wanted, 1, timeoutMs);
  // An interrupted wait is one that ended early: the caller measures its own time and asks again.
  return ready > 0 || (ready < 0 && errno != EINTR);
}

}  // namespace platform
