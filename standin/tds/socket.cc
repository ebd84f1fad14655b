#include "socket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tls_channel.h"

namespace standin::tds {

Socket::Socket(int fd) : fd_(fd) {}

Socket::~Socket() {
  Close();
}

void Socket::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void Socket::StartTls(std::unique_ptr<TlsChannel> channel) {
  tls_ = std::move(channel);
}

void Socket::StopTls() {
  tls_.reset();
  plain_.clear();
  plain_start_ = 0;
}

bool Socket::ReadExact(std::span<std::uint8_t> buffer) {
  if (!tls_) {
    std::size_t done = 0;
    while (done < buffer.size()) {
      std::size_t n = ReceiveSome(buffer.subspan(done));
      if (n == 0) {
        if (done == 0) return false;
        throw ConnectionLost("connection closed inside a packet");
      }
      done += n;
    }
    return true;
  }
  while (plain_.size() - plain_start_ < buffer.size()) {
    std::uint8_t records[16384];
    std::size_t n = ReceiveSome(records);
    if (n == 0) {
      if (plain_.size() == plain_start_) return false;
      throw ConnectionLost("connection closed inside a packet");
    }
    if (plain_start_ > 0) {
      plain_.erase(plain_.begin(), plain_.begin() + static_cast<std::ptrdiff_t>(plain_start_));
      plain_start_ = 0;
    }
    tls_->Open(std::span(records, n), plain_);
  }
  auto first = plain_.begin() + static_cast<std::ptrdiff_t>(plain_start_);
  std::copy(first, first + static_cast<std::ptrdiff_t>(buffer.size()), buffer.begin());
  plain_start_ += buffer.size();
  return true;
}

void Socket::WriteAll(std::span<const std::uint8_t> bytes) {
  if (tls_) {
    SendRaw(tls_->Seal(bytes));
  } else {
    SendRaw(bytes);
  }
}

std::size_t Socket::ReceiveSome(std::span<std::uint8_t> buffer) {
  while (true) {
    ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR)
      throw ConnectionLost(std::string("receive failed: ") + std::strerror(errno));
  }
}

void Socket::SendRaw(std::span<const std::uint8_t> bytes) {
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
