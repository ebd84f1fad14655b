#include "db/odbc/encryption_probe.h"

#include <netdb.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

#include "db/odbc/freetds_trust.h"

namespace odbc {
namespace {

constexpr std::uint8_t kPrelogin = 0x12;
constexpr std::uint8_t kEncryptionOption = 1;
constexpr std::uint8_t kEncryptOn = 1;
constexpr std::uint8_t kEncryptNotSupported = 2;
constexpr std::size_t kHeaderSize = 8;
// The server's replies to a PRELOGIN and to each step of a TLS handshake are
// a few kilobytes; an endpoint that sends more, or takes longer, is not a
// server worth waiting for, and only a reason for a message is at stake.
constexpr std::size_t kLongestMessage = 64 * 1024;
constexpr auto kDeadline = std::chrono::seconds(5);

// The probe's own failures: the server went away or spoke no TDS. The
// reason is then not the probe's to tell.
struct ProbeFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

using Clock = std::chrono::steady_clock;

class TcpConnection {
 public:
  // Every step of the connection, this one included, ends by `ADeadline`.
  TcpConnection(const std::string& AHost, int APort, Clock::time_point ADeadline)
      : FDeadline(ADeadline) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(AHost.c_str(), std::to_string(APort).c_str(), &hints, &found) != 0) {
      throw ProbeFailed("unknown host");
    }
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> addresses(found, freeaddrinfo);
    for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
      FFd = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
      if (FFd < 0) continue;
      // Bounds connect() and every send(); Read() waits no longer than is left.
      timeval timeout = Remaining();
      setsockopt(FFd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
      if (::connect(FFd, a->ai_addr, a->ai_addrlen) == 0) return;
      ::close(FFd);
      FFd = -1;
    }
    throw ProbeFailed("unreachable");
  }
  ~TcpConnection() {
    if (FFd >= 0) ::close(FFd);
  }
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;

  // Sends `APayload` as one PRELOGIN message of packets within 4096 bytes.
  void SendPrelogin(std::span<const std::uint8_t> APayload) {
    constexpr std::size_t kBody = 4096 - kHeaderSize;
    do {
      const std::size_t n = std::min(APayload.size(), kBody);
      const std::size_t length = n + kHeaderSize;
      std::vector<std::uint8_t> packet = {kPrelogin,
                                          static_cast<std::uint8_t>(n == APayload.size() ? 1 : 0),
                                          static_cast<std::uint8_t>(length >> 8),
                                          static_cast<std::uint8_t>(length),
                                          0,
                                          0,
                                          0,
                                          0};
      packet.insert(packet.end(), APayload.begin(), APayload.begin() + static_cast<long>(n));
      Write(packet);
      APayload = APayload.subspan(n);
    } while (!APayload.empty());
  }

  // The payload of the server's next message, whatever its packet type.
  std::vector<std::uint8_t> ReceiveMessage() {
    std::vector<std::uint8_t> payload;
    while (true) {
      std::array<std::uint8_t, kHeaderSize> header;
      Read(header);
      const std::size_t length = (header[2] << 8) | header[3];
      if (length < kHeaderSize) throw ProbeFailed("not a TDS server");
      if (payload.size() + length - kHeaderSize > kLongestMessage) {
        throw ProbeFailed("message too long");
      }
      const std::size_t start = payload.size();
      payload.resize(start + length - kHeaderSize);
      Read(std::span(payload).subspan(start));
      if (header[1] & 1) return payload;
    }
  }

 private:
  void Write(std::span<const std::uint8_t> ABytes) {
    while (!ABytes.empty()) {
      const ssize_t n = ::send(FFd, ABytes.data(), ABytes.size(), MSG_NOSIGNAL);
      if (n <= 0) throw ProbeFailed("connection lost");
      ABytes = ABytes.subspan(static_cast<std::size_t>(n));
    }
  }
  void Read(std::span<std::uint8_t> ABuffer) {
    while (!ABuffer.empty()) {
      timeval timeout = Remaining();
      setsockopt(FFd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
      const ssize_t n = ::recv(FFd, ABuffer.data(), ABuffer.size(), 0);
      if (n <= 0) throw ProbeFailed("connection lost");
      ABuffer = ABuffer.subspan(static_cast<std::size_t>(n));
    }
  }

  // What is left until the deadline; throws when nothing is. A zero timeval
  // would mean no limit to the socket.
  timeval Remaining() const {
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(FDeadline - Clock::now());
    if (left.count() <= 0) throw ProbeFailed("no answer in time");
    return timeval{static_cast<time_t>(left.count() / 1000000),
                   static_cast<suseconds_t>(left.count() % 1000000)};
  }

  Clock::time_point FDeadline;
  int FFd = -1;
};

std::vector<std::uint8_t> PreloginAskingForEncryption() {
  // VERSION (6 bytes), ENCRYPTION (1 byte), terminator.
  return {0, 0, 11, 0, 6, kEncryptionOption, 0, 17, 0, 1, 0xFF, 0, 0, 0, 0, 0, 0, kEncryptOn};
}

std::optional<std::uint8_t> EncryptionAnswer(const std::vector<std::uint8_t>& APayload) {
  for (std::size_t i = 0; i + 5 <= APayload.size() && APayload[i] != 0xFF; i += 5) {
    const std::size_t offset = (APayload[i + 1] << 8) | APayload[i + 2];
    const std::size_t length = (APayload[i + 3] << 8) | APayload[i + 4];
    if (APayload[i] == kEncryptionOption && length >= 1 && offset < APayload.size()) {
      return APayload[offset];
    }
  }
  return std::nullopt;
}

struct SslDeleter {
  void operator()(SSL_CTX* c) const { SSL_CTX_free(c); }
  void operator()(SSL* s) const { SSL_free(s); }
};

std::string CertificateReason(long AVerifyResult) {
  switch (AVerifyResult) {
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return "the server's certificate has expired";
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return "the server's certificate is not valid yet";
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
      return "the server's certificate is self-signed, and not trusted";
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
      return "the server's certificate was issued by an authority that is not trusted";
    default:
      return std::string("the server's certificate is not trusted: ") +
             X509_verify_cert_error_string(AVerifyResult);
  }
}

bool CertificateNames(X509* ACertificate, const std::string& AHost) {
  // An address is matched against the certificate's addresses, a name
  // against its names, as the drivers do.
  if (X509_check_ip_asc(ACertificate, AHost.c_str(), 0) == 1) return true;
  return X509_check_host(ACertificate, AHost.c_str(), AHost.size(), 0, nullptr) == 1;
}

std::string Probe(const std::string& AHost, int APort, bool AVerify) {
  TcpConnection server(AHost, APort, Clock::now() + kDeadline);
  server.SendPrelogin(PreloginAskingForEncryption());
  const std::optional<std::uint8_t> answer = EncryptionAnswer(server.ReceiveMessage());
  if (!answer || *answer == kEncryptNotSupported) {
    return "the server does not support encryption (it has no certificate)";
  }

  std::unique_ptr<SSL_CTX, SslDeleter> context(SSL_CTX_new(TLS_client_method()));
  if (!context) return {};
  const std::string authorities = TrustedAuthorities();
  if (authorities == "system") {
    SSL_CTX_set_default_verify_paths(context.get());
  } else {
    SSL_CTX_load_verify_locations(context.get(), authorities.c_str(), nullptr);
  }
  SSL_CTX_set_max_proto_version(context.get(), TLS1_2_VERSION);
  std::unique_ptr<SSL, SslDeleter> tls(SSL_new(context.get()));
  BIO* in = BIO_new(BIO_s_mem());
  BIO* out = BIO_new(BIO_s_mem());
  SSL_set_bio(tls.get(), in, out);
  SSL_set_connect_state(tls.get());
  // The verdict is read after the handshake, so that the handshake finishes.
  SSL_set_verify(tls.get(), SSL_VERIFY_NONE, nullptr);
  SSL_set_tlsext_host_name(tls.get(), AHost.c_str());

  while (true) {
    const int result = SSL_do_handshake(tls.get());
    std::vector<std::uint8_t> to_server(static_cast<std::size_t>(BIO_ctrl_pending(out)));
    if (!to_server.empty()) {
      BIO_read(out, to_server.data(), static_cast<int>(to_server.size()));
      server.SendPrelogin(to_server);
    }
    if (result == 1) break;
    if (SSL_get_error(tls.get(), result) != SSL_ERROR_WANT_READ) {
      char text[256];
      ERR_error_string_n(ERR_get_error(), text, sizeof text);
      ERR_clear_error();
      return std::string("the TLS handshake with the server failed: ") + text;
    }
    const std::vector<std::uint8_t> from_server = server.ReceiveMessage();
    BIO_write(in, from_server.data(), static_cast<int>(from_server.size()));
  }
  if (!AVerify) return {};
  const long verdict = SSL_get_verify_result(tls.get());
  if (verdict != X509_V_OK) return CertificateReason(verdict);
  std::unique_ptr<X509, decltype(&X509_free)> certificate(SSL_get1_peer_certificate(tls.get()),
                                                          X509_free);
  if (certificate && !CertificateNames(certificate.get(), AHost)) {
    return "the server's certificate is for another host name than " + AHost;
  }
  return {};
}

}  // namespace

std::string EncryptionFailureReason(const std::string& AHost, int APort, bool AVerify) {
  try {
    return Probe(AHost, APort, AVerify);
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace odbc
