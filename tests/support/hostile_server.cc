#include "hostile_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <utility>

#include "loopback_listener.h"
#include "tds_packets.h"

namespace standin_test {
namespace {

[[noreturn]] void ThrowErrno(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// Waits until `fd` is ready for `events` or the server stops (false), at most
// `timeout` (negative: no limit); nullopt when the time ran out.
std::optional<bool> AwaitReady(int fd, short events, int wake, std::chrono::milliseconds timeout) {
  pollfd watched[] = {{fd, events, 0}, {wake, POLLIN, 0}};
  int ready;
  do {
    ready = ::poll(watched, 2, static_cast<int>(timeout.count()));
  } while (ready < 0 && errno == EINTR);
  if (ready < 0 || watched[1].revents != 0) return false;
  if (ready == 0) return std::nullopt;
  return true;
}

}  // namespace

struct HostileConnection::State {
  State(UniqueFd AFd, int AWake, std::mutex& AMutex)
      : fd(std::move(AFd)), wake(AWake), mutex(AMutex) {}

  UniqueFd fd;  // closed under `mutex` once the script has returned
  int wake;
  std::mutex& mutex;
  HostileServer::Recording recording;
  std::thread thread;
};

std::optional<std::size_t> HostileConnection::Receive(std::chrono::milliseconds timeout) {
  const std::optional<bool> ready = AwaitReady(state_.fd.get(), POLLIN, state_.wake, timeout);
  if (!ready) return std::nullopt;
  if (!*ready) return 0;
  std::uint8_t buffer[16384];
  ssize_t received;
  do {
    received = ::recv(state_.fd.get(), buffer, sizeof buffer, 0);
  } while (received < 0 && errno == EINTR);
  if (received <= 0) return 0;
  const auto size = static_cast<std::size_t>(received);
  {
    const std::lock_guard lock(state_.mutex);
    state_.recording.from_client.insert(state_.recording.from_client.end(), buffer, buffer + size);
  }
  unread_.insert(unread_.end(), buffer, buffer + size);
  return size;
}

std::optional<std::vector<std::uint8_t>> HostileConnection::ReadPacket() {
  while (true) {
    if (unread_.size() >= kTdsHeaderSize) {
      const std::size_t length = (std::size_t{unread_[2]} << 8) | unread_[3];
      if (length < kTdsHeaderSize) return std::nullopt;
      if (unread_.size() >= length) {
        std::vector<std::uint8_t> packet(unread_.begin(), unread_.begin() + length);
        unread_.erase(unread_.begin(), unread_.begin() + length);
        return packet;
      }
    }
    if (Receive(std::chrono::milliseconds(-1)) == 0) return std::nullopt;
  }
}

bool HostileConnection::Send(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    if (AwaitReady(state_.fd.get(), POLLOUT, state_.wake, std::chrono::milliseconds(-1)) != true) {
      return false;
    }
    // Never blocking in send, so that a stop is seen while the client reads nothing.
    const ssize_t sent =
        ::send(state_.fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
    if (sent <= 0) return false;
    {
      const std::lock_guard lock(state_.mutex);
      state_.recording.bytes_sent += static_cast<std::uint64_t>(sent);
    }
    bytes = bytes.subspan(static_cast<std::size_t>(sent));
  }
  return true;
}

bool HostileConnection::Hold(std::chrono::milliseconds duration) {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  for (auto now = std::chrono::steady_clock::now(); now < deadline;
       now = std::chrono::steady_clock::now()) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    if (Receive(left) == 0) return false;
  }
  return true;
}

HostileServer::HostileServer(Script script) : script_(std::move(script)) {
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC) != 0) ThrowErrno("pipe2");
  wake_read_ = UniqueFd(wake[0]);
  wake_write_ = UniqueFd(wake[1]);

  LoopbackListener listener = ListenOnLoopback();
  listener_ = std::move(listener.fd);
  port_ = listener.port;
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

HostileServer::~HostileServer() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  const char byte = 0;
  while (::write(wake_write_.get(), &byte, 1) < 0 && errno == EINTR) {
  }
  acceptor_.join();
  // The acceptor has ended, so the list no longer grows.
  for (const auto& connection : connections_) connection->thread.join();
}

std::vector<HostileServer::Recording> HostileServer::connections() const {
  const std::lock_guard lock(mutex_);
  std::vector<Recording> recordings;
  for (const auto& connection : connections_) recordings.push_back(connection->recording);
  return recordings;
}

void HostileServer::AcceptLoop() {
  for (;;) {
    if (AwaitReady(listener_.get(), POLLIN, wake_read_.get(), std::chrono::milliseconds(-1)) !=
        true) {
      return;
    }
    UniqueFd client(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!client) continue;  // the client gave up before it was taken
    const std::lock_guard lock(mutex_);
    if (stopping_) return;
    auto state =
        std::make_unique<HostileConnection::State>(std::move(client), wake_read_.get(), mutex_);
    HostileConnection::State& added = *state;
    const std::size_t index = connections_.size();
    connections_.push_back(std::move(state));
    added.thread = std::thread([this, &added, index] {
      HostileConnection connection(index, added);
      script_(connection);
      const std::lock_guard closing(mutex_);
      added.fd.reset();
    });
  }
}

}  // namespace standin_test
