// Why an encrypted session with a server cannot be had, in the operator's
// words. FreeTDS reports every failed TLS handshake as a failed connection;
// after such a failure the layer asks the server itself: it sends a PRELOGIN
// asking for encryption and runs a TLS handshake inside it, as a driver does,
// then checks the certificate as the connection did. It sends no login and
// decides nothing: the driver's verdict stands; this only names the reason.
// POSIX hosts only.
#pragma once

#include <string>

namespace odbc {

// The reason an encrypted session with `AHost` on `APort` fails, as one
// sentence; empty when the server can encrypt and its certificate passes
// (checked against TrustedAuthorities() and `AHost` when `AVerify`), or when
// the server cannot be reached at all (the driver's message says so already),
// or when it answers with a message over 64 KiB or not within 5 seconds in
// all. Never throws.
std::string EncryptionFailureReason(const std::string& AHost, int APort, bool AVerify);

}  // namespace odbc
