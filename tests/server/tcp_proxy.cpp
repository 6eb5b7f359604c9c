#include "tests/server/tcp_proxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pgtest {
namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return address;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t written = send(fd, data, size, MSG_NOSIGNAL);
    if (written <= 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

TcpProxy::TcpProxy(int targetPort) : targetPort_(targetPort) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(listener_, 16) == 0 &&
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port_ = ntohs(address.sin_port);
  }
  if (pipe2(wake_, O_CLOEXEC) != 0) wake_[0] = wake_[1] = -1;
  thread_ = std::thread([this] { Run(); });
}

TcpProxy::~TcpProxy() {
  stop_ = true;
  // The thread looks at stop_ at least every 50 ms; the byte only spares it the wait.
  [[maybe_unused]] ssize_t woken = write(wake_[1], "x", 1);
  thread_.join();
  for (const Pair& pair : pairs_) {
    close(pair.client);
    close(pair.server);
  }
  close(listener_);
  close(wake_[0]);
  close(wake_[1]);
}

void TcpProxy::CutAfterClientSends(const std::string& text) {
  std::lock_guard<std::mutex> hold(triggerMutex_);
  trigger_ = text;
}

void TcpProxy::Pass() { cut_ = false; }

bool TcpProxy::Forward(int from, int to, bool fromClient) {
  char buffer[65536];
  ssize_t got = recv(from, buffer, sizeof buffer, 0);
  if (got <= 0) return false;
  if (!WriteAll(to, buffer, static_cast<size_t>(got))) return false;
  if (fromClient) {
    std::lock_guard<std::mutex> hold(triggerMutex_);
    if (!trigger_.empty() && std::string(buffer, static_cast<size_t>(got)).find(trigger_) != std::string::npos) {
      trigger_.clear();
      cut_ = true;
    }
  }
  return true;
}

void TcpProxy::Run() {
  while (!stop_) {
    std::vector<pollfd> watched = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    // Cut: the bytes stay in the sockets, unread, and nothing is closed.
    const bool passing = !cut_;
    if (passing) {
      for (const Pair& pair : pairs_) {
        watched.push_back({pair.client, POLLIN, 0});
        watched.push_back({pair.server, POLLIN, 0});
      }
    }
    const size_t watchedPairs = (watched.size() - 2) / 2;
    if (poll(watched.data(), watched.size(), 50) <= 0) continue;
    if (watched[0].revents & POLLIN) {
      int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client >= 0) {
        int server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in target = Loopback(targetPort_);
        if (connect(server, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0) {
          pairs_.push_back({client, server});
        } else {
          close(server);
          close(client);
        }
      }
    }
    if (!passing) continue;
    std::vector<Pair> open;
    for (size_t i = 0; i < watchedPairs; ++i) {
      const pollfd& client = watched[2 + 2 * i];
      const pollfd& server = watched[3 + 2 * i];
      bool alive = true;
      if (client.revents != 0) alive = Forward(pairs_[i].client, pairs_[i].server, true);
      // Once cut, nothing more passes, not even what was read in this round.
      if (alive && server.revents != 0 && !cut_) alive = Forward(pairs_[i].server, pairs_[i].client, false);
      if (alive) {
        open.push_back(pairs_[i]);
      } else {
        close(pairs_[i].client);
        close(pairs_[i].server);
      }
    }
    // Pairs accepted in this round come after those watched.
    for (size_t i = watchedPairs; i < pairs_.size(); ++i) open.push_back(pairs_[i]);
    pairs_ = std::move(open);
  }
}

}  // namespace pgtest
