#include "recording_proxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <utility>

#include "loopback_listener.h"

namespace standin_test {
namespace {

[[noreturn]] void ThrowErrno(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// TDS sends small packets and waits for answers; Nagle's algorithm on the
// proxy's hop would hold them back against delayed acknowledgements.
void SendAtOnce(int fd) {
  int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

UniqueFd ConnectTo(int port) {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd) return fd;
  const sockaddr_in address = Loopback(port);
  if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    fd.reset();
  }
  return fd;
}

bool SendAll(int fd, const std::uint8_t* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t sent = ::send(fd, bytes, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

}  // namespace

struct RecordingProxy::Connection {
  UniqueFd client, server;  // closed by the forwarding thread when it ends
  Recording recording;
  std::thread thread;
};

RecordingProxy::RecordingProxy(int target_port) : target_port_(target_port) {
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC) != 0) ThrowErrno("pipe2");
  wake_read_ = UniqueFd(wake[0]);
  wake_write_ = UniqueFd(wake[1]);

  LoopbackListener listener = ListenOnLoopback();
  listener_ = std::move(listener.fd);
  port_ = listener.port;
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

RecordingProxy::~RecordingProxy() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    // A thread blocked sending to a peer that does not read returns at once.
    for (const auto& connection : connections_) {
      if (connection->client) ::shutdown(connection->client.get(), SHUT_RDWR);
      if (connection->server) ::shutdown(connection->server.get(), SHUT_RDWR);
    }
  }
  const char byte = 0;
  while (::write(wake_write_.get(), &byte, 1) < 0 && errno == EINTR) {
  }
  acceptor_.join();
  // The acceptor has ended, so the list no longer grows.
  for (const auto& connection : connections_) connection->thread.join();
}

std::vector<RecordingProxy::Recording> RecordingProxy::connections() const {
  const std::lock_guard lock(mutex_);
  std::vector<Recording> recordings;
  for (const auto& connection : connections_) recordings.push_back(connection->recording);
  return recordings;
}

std::vector<std::uint8_t> RecordingProxy::clientBytes() const {
  std::vector<std::uint8_t> bytes;
  for (const Recording& recording : connections()) {
    bytes.insert(bytes.end(), recording.from_client.begin(), recording.from_client.end());
  }
  return bytes;
}

std::vector<std::uint8_t> RecordingProxy::serverBytes() const {
  std::vector<std::uint8_t> bytes;
  for (const Recording& recording : connections()) {
    bytes.insert(bytes.end(), recording.from_server.begin(), recording.from_server.end());
  }
  return bytes;
}

void RecordingProxy::AcceptLoop() {
  for (;;) {
    pollfd watched[] = {{listener_.get(), POLLIN, 0}, {wake_read_.get(), POLLIN, 0}};
    if (::poll(watched, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (watched[1].revents != 0) return;
    UniqueFd client(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!client) continue;  // the client gave up before we took it
    UniqueFd server = ConnectTo(target_port_);
    if (!server) continue;  // closing the client tells it the server is not there
    SendAtOnce(client.get());
    SendAtOnce(server.get());

    auto connection = std::make_unique<Connection>();
    connection->client = std::move(client);
    connection->server = std::move(server);
    const std::lock_guard lock(mutex_);
    if (stopping_) return;
    Connection& added = *connection;
    connections_.push_back(std::move(connection));
    added.thread = std::thread([this, &added] { Forward(added); });
  }
}

// Copies both directions until both have ended. One side's end of stream is
// passed on as a half-close, so a peer that finishes sending can still be
// answered; a reset or a failed send ends the whole connection.
void RecordingProxy::Forward(Connection& connection) {
  const int client = connection.client.get();
  const int server = connection.server.get();
  bool client_open = true, server_open = true;
  std::uint8_t buffer[16384];
  while (client_open || server_open) {
    pollfd watched[] = {{client_open ? client : -1, POLLIN, 0},
                        {server_open ? server : -1, POLLIN, 0},
                        {wake_read_.get(), POLLIN, 0}};
    if (::poll(watched, 3, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (watched[2].revents != 0) break;
    bool failed = false;
    for (int side = 0; side < 2 && !failed; ++side) {
      if (watched[side].revents == 0) continue;
      const bool from_client = side == 0;
      const int from = from_client ? client : server;
      const int to = from_client ? server : client;
      const ssize_t received = ::recv(from, buffer, sizeof buffer, 0);
      if (received < 0 && errno == EINTR) continue;
      if (received < 0) {
        failed = true;
      } else if (received == 0) {
        ::shutdown(to, SHUT_WR);
        (from_client ? client_open : server_open) = false;
      } else {
        const auto size = static_cast<std::size_t>(received);
        Record(connection, from_client, buffer, size);
        failed = !SendAll(to, buffer, size);
      }
    }
    if (failed) break;
  }
  Close(connection);
}

void RecordingProxy::Record(Connection& connection, bool from_client, const std::uint8_t* bytes,
                            std::size_t size) {
  const std::lock_guard lock(mutex_);
  std::vector<std::uint8_t>& to =
      from_client ? connection.recording.from_client : connection.recording.from_server;
  to.insert(to.end(), bytes, bytes + size);
}

// Under the lock, so that the destructor never shuts down a descriptor number
// that has been closed and perhaps given to something else.
void RecordingProxy::Close(Connection& connection) {
  const std::lock_guard lock(mutex_);
  connection.client.reset();
  connection.server.reset();
}

}  // namespace standin_test
