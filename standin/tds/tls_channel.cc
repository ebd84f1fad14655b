#include "tls_channel.h"

#include <openssl/ssl.h>

#include <limits>
#include <string>

#include "openssl_reason.h"
#include "socket.h"

namespace standin::tds {
namespace {

void Feed(BIO* in, std::span<const std::uint8_t> bytes) {
  // A memory BIO grows as needed; a write fails only when memory does.
  while (!bytes.empty()) {
    int chunk =
        static_cast<int>(std::min<std::size_t>(bytes.size(), std::numeric_limits<int>::max()));
    int n = BIO_write(in, bytes.data(), chunk);
    if (n <= 0) throw TlsError("TLS: out of memory");
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
}

}  // namespace

TlsChannel::TlsChannel(const TlsContext& context)
    : ssl_(SSL_new(context.Native())), in_(BIO_new(BIO_s_mem())), out_(BIO_new(BIO_s_mem())) {
  if (ssl_ == nullptr || in_ == nullptr || out_ == nullptr) {
    BIO_free(in_);
    BIO_free(out_);
    SSL_free(ssl_);
    throw TlsError("TLS: cannot start a session: " + OpenSslReason("out of memory"));
  }
  SSL_set_bio(ssl_, in_, out_);
  SSL_set_accept_state(ssl_);
}

TlsChannel::~TlsChannel() {
  SSL_free(ssl_);
}

std::vector<std::uint8_t> TlsChannel::Handshake(std::span<const std::uint8_t> from_client) {
  std::lock_guard lock(mutex_);
  Feed(in_, from_client);
  int result = SSL_do_handshake(ssl_);
  if (result != 1) {
    int error = SSL_get_error(ssl_, result);
    if (error != SSL_ERROR_WANT_READ) {
      throw TlsError("TLS handshake failed: " + OpenSslReason("the peer broke off"));
    }
  }
  return TakeOutput();
}

bool TlsChannel::Established() const {
  std::lock_guard lock(mutex_);
  return SSL_is_init_finished(ssl_) == 1;
}

std::vector<std::uint8_t> TlsChannel::Seal(std::span<const std::uint8_t> plain) {
  std::lock_guard lock(mutex_);
  while (!plain.empty()) {
    int chunk = static_cast<int>(std::min<std::size_t>(plain.size(), 16384));
    int n = SSL_write(ssl_, plain.data(), chunk);
    if (n <= 0) throw TlsError("TLS: cannot encrypt: " + OpenSslReason("the peer broke off"));
    plain = plain.subspan(static_cast<std::size_t>(n));
  }
  return TakeOutput();
}

void TlsChannel::Open(std::span<const std::uint8_t> records, std::vector<std::uint8_t>& plain) {
  std::lock_guard lock(mutex_);
  Feed(in_, records);
  std::uint8_t buffer[16384];
  while (true) {
    int n = SSL_read(ssl_, buffer, sizeof buffer);
    if (n > 0) {
      plain.insert(plain.end(), buffer, buffer + n);
      continue;
    }
    switch (SSL_get_error(ssl_, n)) {
      case SSL_ERROR_WANT_READ:
        return;
      case SSL_ERROR_ZERO_RETURN:
        throw ConnectionLost("the client closed its TLS session");
      default:
        throw TlsError("TLS: bad record: " + OpenSslReason("the peer broke off"));
    }
  }
}

std::vector<std::uint8_t> TlsChannel::TakeOutput() {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(BIO_ctrl_pending(out_)));
  if (!bytes.empty()) BIO_read(out_, bytes.data(), static_cast<int>(bytes.size()));
  return bytes;
}

}  // namespace standin::tds
