#include "socket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace standin::tds {

Socket::~Socket() {
  Close();
}

void Socket::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool Socket::ReadExact(std::span<std::uint8_t> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    ssize_t n = ::recv(fd_, buffer.data() + done, buffer.size() - done, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw ConnectionLost(std::string("receive failed: ") + std::strerror(errno));
    if (n == 0) {
      if (done == 0) return false;
      throw ConnectionLost("connection closed inside a packet");
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void Socket::WriteAll(std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw ConnectionLost(std::string("send failed: ") + std::strerror(errno));
    done += static_cast<std::size_t>(n);
  }
}

void Socket::Shutdown() {
  if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
}

}  // namespace standin::tds
