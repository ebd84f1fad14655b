#include "tls_context.h"

#include <openssl/ssl.h>

#include <stdexcept>
#include <string>

#include "openssl_reason.h"

namespace standin::tds {

TlsContext::TlsContext(const std::filesystem::path& certificate, const std::filesystem::path& key)
    : ctx_(SSL_CTX_new(TLS_server_method())) {
  if (ctx_ == nullptr) throw std::runtime_error("TLS: " + OpenSslReason("unknown error"));
  try {
    SSL_CTX_set_min_proto_version(ctx_, TLS1_VERSION);
    SSL_CTX_set_max_proto_version(ctx_, TLS1_2_VERSION);
    SSL_CTX_set_options(ctx_, SSL_OP_NO_TICKET);
    if (SSL_CTX_use_certificate_chain_file(ctx_, certificate.c_str()) != 1) {
      throw std::runtime_error("cannot use certificate " + certificate.string() + ": " +
                               OpenSslReason("unknown error"));
    }
    if (SSL_CTX_use_PrivateKey_file(ctx_, key.c_str(), SSL_FILETYPE_PEM) != 1) {
      throw std::runtime_error("cannot use key " + key.string() + ": " +
                               OpenSslReason("unknown error"));
    }
    if (SSL_CTX_check_private_key(ctx_) != 1) {
      throw std::runtime_error("key " + key.string() + " does not match certificate " +
                               certificate.string());
    }
  } catch (...) {
    SSL_CTX_free(ctx_);
    throw;
  }
}

TlsContext::~TlsContext() {
  SSL_CTX_free(ctx_);
}

}  // namespace standin::tds
