// The server's listening socket, bound to 127.0.0.1 only: the stand-in is a
// local test tool and must never be reachable from another machine.
#pragma once

#include <cstdint>

namespace standin::server {

class Listener {
 public:
  // Binds 127.0.0.1:`port` (0: a free port) and listens; throws std::system_error.
  explicit Listener(std::uint16_t port);
  ~Listener();
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;

  std::uint16_t Port() const { return port_; }

  // Waits for the next client and returns its connected socket, or -1 once
  // Shutdown has been called.
  int Accept();
  // Makes a waiting and every later Accept return -1; callable from any thread.
  void Shutdown();

 private:
  int fd_;
  std::uint16_t port_;
};

}  // namespace standin::server
