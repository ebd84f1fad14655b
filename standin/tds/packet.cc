#include "packet.h"

#include <array>
#include <string>

#include "protocol_error.h"

namespace standin::tds {
namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::uint8_t kEndOfMessage = 0x01;

bool IsKnownType(std::uint8_t type) {
  switch (static_cast<PacketType>(type)) {
    case PacketType::kSqlBatch:
    case PacketType::kRpc:
    case PacketType::kAttention:
    case PacketType::kTransactionManager:
    case PacketType::kLogin7:
    case PacketType::kPrelogin:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::optional<Message> ReadMessage(Socket& socket) {
  std::optional<Message> message;
  while (true) {
    std::array<std::uint8_t, kHeaderSize> header;
    if (!socket.ReadExact(header)) {
      if (message) throw ConnectionLost("connection closed inside a message");
      return std::nullopt;
    }
    std::uint8_t type = header[0];
    std::uint8_t status = header[1];
    std::size_t length = (header[2] << 8) | header[3];
    if (!IsKnownType(type)) throw ProtocolError("unknown packet type " + std::to_string(type));
    if (length < kHeaderSize || length > kMaxPacketSize) {
      throw ProtocolError("packet length " + std::to_string(length) + " out of range");
    }
    if (!message) {
      message = Message{static_cast<PacketType>(type), {}};
    } else if (message->type != static_cast<PacketType>(type)) {
      throw ProtocolError("packet type changed inside a message");
    }
    std::size_t body = length - kHeaderSize;
    if (message->payload.size() + body > kMaxMessageSize) throw ProtocolError("request too large");
    std::size_t start = message->payload.size();
    message->payload.resize(start + body);
    if (body > 0 && !socket.ReadExact(std::span(message->payload).subspan(start))) {
      throw ConnectionLost("connection closed inside a packet");
    }
    if (status & kEndOfMessage) return message;
  }
}

void PacketStream::Append(std::span<const std::uint8_t> bytes) {
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  // Keep at least one byte back so the final packet is never empty.
  std::size_t sent = 0;
  while (pending_.size() - sent > body_max_) {
    Send(std::span(pending_).subspan(sent, body_max_), false);
    sent += body_max_;
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(sent));
}

void PacketStream::Finish() {
  Send(pending_, true);
  pending_.clear();
  packet_id_ = 1;
}

void PacketStream::Send(std::span<const std::uint8_t> body, bool last) {
  std::size_t length = body.size() + kHeaderSize;
  std::array<std::uint8_t, kHeaderSize> header = {
      static_cast<std::uint8_t>(type_),
      static_cast<std::uint8_t>(last ? kEndOfMessage : 0),
      static_cast<std::uint8_t>(length >> 8),
      static_cast<std::uint8_t>(length),
      static_cast<std::uint8_t>(spid_ >> 8),
      static_cast<std::uint8_t>(spid_),
      packet_id_++,
      0};
  packet_.assign(header.begin(), header.end());
  packet_.insert(packet_.end(), body.begin(), body.end());
  socket_.WriteAll(packet_);
}

void SendReply(Socket& socket, std::span<const std::uint8_t> payload, std::uint32_t packet_size,
               std::uint16_t spid, PacketType type) {
  PacketStream stream(socket, packet_size, spid, type);
  stream.Append(payload);
  stream.Finish();
}

}  // namespace standin::tds
