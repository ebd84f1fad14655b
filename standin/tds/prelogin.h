// PRELOGIN, the first exchange of a connection. The stand-in never encrypts:
// it always answers "encryption not supported" and MARS off.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace standin::tds {

struct PreloginRequest {
  // The client insists on encryption (ENCRYPT_ON or ENCRYPT_REQ): the server
  // answers, then closes the connection, since it cannot comply.
  bool requires_encryption = false;
};

// Parses a client's PRELOGIN payload; throws ProtocolError if malformed.
PreloginRequest ParsePrelogin(std::span<const std::uint8_t> payload);

// The server's PRELOGIN answer payload.
std::vector<std::uint8_t> PreloginReply();

}  // namespace standin::tds
