// The server's TLS identity: its certificate and key, loaded once and shared
// by every session. Sessions negotiate TLS 1.2 at most, as SQL Server does
// inside PRELOGIN: TLS 1.3 would send tickets after the client has already
// left the PRELOGIN framing.
#pragma once

#include <filesystem>

using SSL_CTX = struct ssl_ctx_st;

namespace standin::tds {

class TlsContext {
 public:
  // Reads PEM files; throws std::runtime_error naming the file that is
  // missing or unreadable, or saying that the key does not match.
  TlsContext(const std::filesystem::path& certificate, const std::filesystem::path& key);
  ~TlsContext();
  TlsContext(const TlsContext&) = delete;
  TlsContext& operator=(const TlsContext&) = delete;

  SSL_CTX* Native() const { return ctx_; }

 private:
  SSL_CTX* ctx_;
};

}  // namespace standin::tds
