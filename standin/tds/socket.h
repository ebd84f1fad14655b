// An owned, connected TCP socket. Reads and writes block; Shutdown may be
// called from any thread to make them return, which is how a session is ended
// from outside (KILL, server stop).
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace standin::tds {

// The peer is gone or the socket was shut down.
class ConnectionLost : public std::runtime_error {
 public:
  explicit ConnectionLost(const std::string& what) : std::runtime_error(what) {}
};

class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket();
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  // Fills `buffer` completely. Returns false if the peer closed the connection
  // before the first byte; throws ConnectionLost if it closed it midway.
  bool ReadExact(std::span<std::uint8_t> buffer);
  // Sends every byte or throws ConnectionLost.
  void WriteAll(std::span<const std::uint8_t> bytes);
  // Ends both directions; pending and later reads and writes fail at once.
  void Shutdown();
  // Closes the socket now rather than at destruction; a peer still sending gets
  // a reset instead of waiting. Nothing may use the socket afterwards.
  void Close();

 private:
  int fd_;
};

}  // namespace standin::tds
