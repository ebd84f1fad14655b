#include "loopback_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <system_error>

namespace standin_test {
namespace {

[[noreturn]] void ThrowErrno(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

LoopbackListener ListenOnLoopback() {
  LoopbackListener listener{UniqueFd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))};
  if (!listener.fd) ThrowErrno("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(listener.fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ThrowErrno("bind to 127.0.0.1");
  }
  if (::listen(listener.fd.get(), SOMAXCONN) != 0) ThrowErrno("listen");
  socklen_t length = sizeof address;
  if (::getsockname(listener.fd.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ThrowErrno("getsockname");
  }
  listener.port = ntohs(address.sin_port);
  return listener;
}

}  // namespace standin_test
