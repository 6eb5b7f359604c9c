// A TCP proxy on 127.0.0.1 between a station and the test cluster, on a
// thread of its own, that can stop passing bytes while it keeps every
// connection open, as a pulled cable or a dead switch does, and pass again.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pgtest {

class TcpProxy {
 public:
  // Listens on a free port of 127.0.0.1 and passes to 127.0.0.1:`targetPort`.
  explicit TcpProxy(int targetPort);
  ~TcpProxy();
  TcpProxy(const TcpProxy&) = delete;
  TcpProxy& operator=(const TcpProxy&) = delete;

  int port() const { return port_; }
  // Stops passing right after a client's bytes holding `text` went to the
  // server: new connections are still taken, and held.
  void CutAfterClientSends(const std::string& text);
  bool cut() const { return cut_; }
  void Pass();

 private:
  struct Pair {
    int client = -1, server = -1;
  };
  void Run();
  // Passes what `from` has to `to`; false when either side closed.
  bool Forward(int from, int to, bool fromClient);

  int listener_ = -1;
  int port_ = 0;
  int targetPort_ = 0;
  int wake_[2] = {-1, -1};
  std::atomic<bool> stop_{false}, cut_{false};
  std::mutex triggerMutex_;
  std::string trigger_;
  std::vector<Pair> pairs_;
  std::thread thread_;
};

}  // namespace pgtest
