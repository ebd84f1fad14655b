#include "listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace standin::server {
namespace {

[[noreturn]] void Fail(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

Listener::Listener(std::uint16_t port) {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) Fail("socket");
  int one = 1;
  ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd_, SOMAXCONN) != 0) {
    int error = errno;
    ::close(fd_);
    throw std::system_error(error, std::generic_category(), "bind 127.0.0.1");
  }
  socklen_t length = sizeof address;
  ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
}

Listener::~Listener() {
  ::close(fd_);
}

int Listener::Accept() {
  while (true) {
    int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client >= 0) {
      int one = 1;
      // Responses are written whole; waiting for more bytes only adds latency.
      ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      return client;
    }
    if (errno == EINTR || errno == ECONNABORTED || errno == EMFILE || errno == ENFILE) {
      if (errno == EMFILE || errno == ENFILE) ::usleep(10000);
      continue;
    }
    return -1;
  }
}

void Listener::Shutdown() {
  ::shutdown(fd_, SHUT_RDWR);
}

}  // namespace standin::server
