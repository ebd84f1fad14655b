// An owned, connected TCP socket. Reads and writes block; Shutdown may be
// called from any thread to make them return, which is how a session is ended
// from outside (KILL, server stop). Once TLS is started, reads and writes
// carry their bytes in TLS records.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace standin::tds {

class TlsChannel;

// The peer is gone or the socket was shut down.
class ConnectionLost : public std::runtime_error {
 public:
  explicit ConnectionLost(const std::string& what) : std::runtime_error(what) {}
};

class Socket {
 public:
  explicit Socket(int fd);
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

  // From now on every byte read and written goes through `channel`, whose
  // handshake is complete. Call while no other thread uses the socket.
  void StartTls(std::unique_ptr<TlsChannel> channel);
  // Back to clear text, as after a login that only the LOGIN7 packet was
  // encrypted for. Call while no other thread uses the socket.
  void StopTls();

 private:
  // What one receive gives, at least one byte; 0 when the peer has closed.
  std::size_t ReceiveSome(std::span<std::uint8_t> buffer);
  void SendRaw(std::span<const std::uint8_t> bytes);

  int fd_;
  std::unique_ptr<TlsChannel> tls_;
  // Decrypted bytes not read yet; used by the reading thread only.
  std::vector<std::uint8_t> plain_;
  std::size_t plain_start_ = 0;
};

}  // namespace standin::tds
