// A server of a test's own on 127.0.0.1 that plays a hostile or broken SQL
// Server, as an attacker on the network path would: each connection it
// accepts runs a script of the test's, on a thread of its own, and every byte
// the client sends is kept.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "unique_fd.h"

namespace standin_test {

// One accepted connection as its script sees it. Every call returns soon
// once the server stops.
class HostileConnection {
 public:
  // The connection's place among those accepted: 0 for the first.
  std::size_t index() const { return index_; }

  // The client's next TDS packet, header included; nullopt once the client
  // has left or sent a header no packet has.
  std::optional<std::vector<std::uint8_t>> ReadPacket();
  // Sends `bytes` whole; false once the client has gone.
  bool Send(std::span<const std::uint8_t> bytes);
  // Keeps the connection open without answering for `duration`, taking what
  // the client sends meanwhile; false as soon as the client has left (or the
  // server stops).
  bool Hold(std::chrono::milliseconds duration);

 private:
  friend class HostileServer;
  struct State;
  HostileConnection(std::size_t index, State& state) : index_(index), state_(state) {}
  // Reads what the client sends within `timeout` into the recording; the
  // number of bytes, 0 once the client has left, nullopt when none came.
  std::optional<std::size_t> Receive(std::chrono::milliseconds timeout);

  std::size_t index_;
  State& state_;
  std::vector<std::uint8_t> unread_;
};

class HostileServer {
 public:
  using Script = std::function<void(HostileConnection&)>;

  // What one connection carried.
  struct Recording {
    std::vector<std::uint8_t> from_client;
    std::uint64_t bytes_sent = 0;  // that the socket took to send to the client
  };

  // Listens on a free port of 127.0.0.1; each connection runs `script` and is
  // closed when it returns. Throws std::system_error if it cannot listen.
  explicit HostileServer(Script script);
  // Stops accepting, ends every connection and joins its thread.
  ~HostileServer();
  HostileServer(const HostileServer&) = delete;
  HostileServer& operator=(const HostileServer&) = delete;

  int port() const { return port_; }
  // Every connection so far, in the order accepted; readable at any time.
  std::vector<Recording> connections() const;

 private:
  void AcceptLoop();

  Script script_;
  int port_ = 0;
  UniqueFd listener_;
  UniqueFd wake_read_, wake_write_;  // readable once the server stops
  mutable std::mutex mutex_;         // guards what is below and every State's recording
  bool stopping_ = false;
  std::vector<std::unique_ptr<HostileConnection::State>> connections_;
  std::thread acceptor_;
};

}  // namespace standin_test
