// One session's TLS state, server side, kept in memory: the channel never
// touches the socket, so the session's reader thread can decrypt while the
// session thread encrypts. One mutex guards the state, and no lock is held
// across a blocking read or write.
//
// SQL Server carries the handshake's records inside PRELOGIN packets;
// afterwards records flow on the bare connection, for the LOGIN7 packet only
// or for the whole session. Socket does the carrying; this class only turns
// bytes into records and back.
#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "protocol_error.h"
#include "tls_context.h"

using SSL = struct ssl_st;
using BIO = struct bio_st;

namespace standin::tds {

// The handshake or a record failed: the client sent garbage, did not trust
// us, or broke off. Ends only the session it happened in.
class TlsError : public ProtocolError {
 public:
  using ProtocolError::ProtocolError;
};

class TlsChannel {
 public:
  explicit TlsChannel(const TlsContext& context);
  ~TlsChannel();
  TlsChannel(const TlsChannel&) = delete;
  TlsChannel& operator=(const TlsChannel&) = delete;

  // Takes handshake bytes from the client and returns what to send back,
  // possibly nothing. Throws TlsError if the handshake fails.
  std::vector<std::uint8_t> Handshake(std::span<const std::uint8_t> from_client);
  bool Established() const;

  // The records that carry `plain` to the client.
  std::vector<std::uint8_t> Seal(std::span<const std::uint8_t> plain);
  // Appends to `plain` what the bytes received so far decrypt to; a record
  // may arrive in pieces. Throws TlsError on a bad record and ConnectionLost
  // when the client ends the TLS session.
  void Open(std::span<const std::uint8_t> records, std::vector<std::uint8_t>& plain);

 private:
  std::vector<std::uint8_t> TakeOutput();

  mutable std::mutex mutex_;
  SSL* ssl_;
  BIO* in_;   // owned by ssl_
  BIO* out_;  // owned by ssl_
};

}  // namespace standin::tds
