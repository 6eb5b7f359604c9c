// Waiting on a network socket with a time limit, for clients that drive their
// connections themselves (the ledger's server connection).
#pragma once

namespace platform {

enum class SocketEvent { Read, Write, ReadOrWrite };

// Waits until `socket` is ready for `event`, at most `timeoutMs`; false when
// the time ran out. An error on the socket counts as ready: the next call on
// it reports the error.
bool WaitSocket(long long socket, SocketEvent event, int timeoutMs);

}  // namespace platform
