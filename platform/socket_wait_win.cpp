#include "platform/socket_wait.h"

#include <winsock2.h>

namespace platform {

bool WaitSocket(long long socket, SocketEvent event, int timeoutMs) {
  WSAPOLLFD wanted{};
  wanted.fd = static_cast<SOCKET>(socket);
  wanted.events = event == SocketEvent::Read ? POLLRDNORM : event == SocketEvent::Write ? POLLWRNORM
                                                                                       : POLLRDNORM | POLLWRNORM;
  int ready = WSAPoll(&wanted, 1, timeoutMs);
  return ready != 0;
}

}  // namespace platform
