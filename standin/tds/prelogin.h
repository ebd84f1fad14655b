// PRELOGIN, the first exchange of a connection, and the encryption it
// settles, as SQL Server settles it:
//
//   client asks \ server has   no certificate    a certificate     forces encryption
//   nothing (NOT_SUP)          clear             clear             refused
//   OFF                        clear             login only        whole session
//   ON or REQ                  refused           whole session     whole session
//
// MARS is always answered off.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace standin::tds {

// The ENCRYPTION option's values.
enum class Encryption : std::uint8_t {
  kOff = 0,           // client: encrypt the login at least, if you can
  kOn = 1,            // encrypt the whole session
  kNotSupported = 2,  // the sender cannot encrypt
  kRequired = 3,      // client: only an encrypted session will do; server: the same
};

// What the server can offer.
enum class ServerEncryption { kNone, kAvailable, kForced };

// What a session gets.
enum class SessionEncryption { kClear, kLoginOnly, kFull, kRefused };

struct PreloginRequest {
  // A client that leaves the option out cannot encrypt.
  Encryption encryption = Encryption::kNotSupported;
};

// Parses a client's PRELOGIN payload; throws ProtocolError if malformed.
PreloginRequest ParsePrelogin(std::span<const std::uint8_t> payload);

struct EncryptionAgreement {
  Encryption answer;          // what the server's PRELOGIN reply says
  SessionEncryption session;  // what happens next
};
EncryptionAgreement AgreeEncryption(Encryption client, ServerEncryption server);

// The server's PRELOGIN answer payload.
std::vector<std::uint8_t> PreloginReply(Encryption answer);

}  // namespace standin::tds
