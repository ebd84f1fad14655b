// A TCP proxy on 127.0.0.1 that forwards every connection to a server on
// 127.0.0.1 and keeps a copy of the bytes each way, so a test can see what a
// client and a server put on the wire between them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "unique_fd.h"

namespace standin_test {

class RecordingProxy {
 public:
  // The bytes of one connection, each direction in the order it was sent.
  struct Recording {
    std::vector<std::uint8_t> from_client;
    std::vector<std::uint8_t> from_server;
  };

  // Listens on a free port of 127.0.0.1 and forwards each connection it
  // accepts to 127.0.0.1:`target_port` (one that cannot be reached is closed at
  // once). Throws std::system_error if it cannot listen.
  explicit RecordingProxy(int target_port);
  // Stops accepting, ends every connection still open and joins its threads.
  ~RecordingProxy();
  RecordingProxy(const RecordingProxy&) = delete;
  RecordingProxy& operator=(const RecordingProxy&) = delete;

  // The port clients connect to.
  int port() const { return port_; }

  // Bytes are recorded before they are forwarded: whatever one side has
  // received through the proxy is in the recordings. They may be read at any
  // time, from any thread.
  //
  // Every connection so far, in the order they were accepted.
  std::vector<Recording> connections() const;
  // All connections' bytes from clients (or from the server), one connection
  // after another in the order they were accepted.
  std::vector<std::uint8_t> clientBytes() const;
  std::vector<std::uint8_t> serverBytes() const;

 private:
  struct Connection;

  void AcceptLoop();
  void Forward(Connection& connection);
  void Record(Connection& connection, bool from_client, const std::uint8_t* bytes,
              std::size_t size);
  void Close(Connection& connection);

  int target_port_;
  int port_ = 0;
  UniqueFd listener_;
  UniqueFd wake_read_, wake_write_;  // readable once the proxy stops
  mutable std::mutex mutex_;         // guards everything below
  bool stopping_ = false;
  std::vector<std::unique_ptr<Connection>> connections_;
  std::thread acceptor_;
};

}  // namespace standin_test
