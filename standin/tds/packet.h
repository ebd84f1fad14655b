// TDS packets: the 8-byte header framing every message, and the splitting of
// messages into packets of the negotiated size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "socket.h"

namespace standin::tds {

enum class PacketType : std::uint8_t {
  kSqlBatch = 1,
  kRpc = 3,
  kReply = 4,
  kAttention = 6,
  kTransactionManager = 14,
  kLogin7 = 16,
  kPrelogin = 18,
};

// Packet sizes a client may negotiate, and the default before it has.
inline constexpr std::uint32_t kMinPacketSize = 512;
inline constexpr std::uint32_t kMaxPacketSize = 32767;
inline constexpr std::uint32_t kDefaultPacketSize = 4096;
// The largest request the server accepts; a bigger one ends the session.
inline constexpr std::size_t kMaxMessageSize = 64u << 20;

// One client message, reassembled from its packets.
struct Message {
  PacketType type;
  std::vector<std::uint8_t> payload;
};

// Reads the packets of the next message up to its end-of-message packet.
// Returns nullopt if the client closed the connection between messages;
// throws ProtocolError on a malformed header, a type change inside the message
// or a message over kMaxMessageSize, and ConnectionLost if the socket fails.
std::optional<Message> ReadMessage(Socket& socket);

// Streams one server message: bytes appended are sent as soon as they fill a
// packet of the negotiated size, so large results need no more memory than a
// packet; Finish sends the last packet with the end-of-message flag.
class PacketStream {
 public:
  PacketStream(Socket& socket, std::uint32_t packet_size, std::uint16_t spid,
               PacketType type = PacketType::kReply)
      : socket_(socket), body_max_(packet_size - 8), spid_(spid), type_(type) {}

  void Append(std::span<const std::uint8_t> bytes);
  // Ends the message; the stream may then start the next one.
  void Finish();

 private:
  void Send(std::span<const std::uint8_t> body, bool last);

  Socket& socket_;
  std::size_t body_max_;
  std::uint16_t spid_;
  PacketType type_;
  std::uint8_t packet_id_ = 1;
  std::vector<std::uint8_t> pending_;
  std::vector<std::uint8_t> packet_;
};

// Sends `payload` as one server message, a reply unless `type` says otherwise
// (the TLS handshake travels in PRELOGIN packets).
void SendReply(Socket& socket, std::span<const std::uint8_t> payload, std::uint32_t packet_size,
               std::uint16_t spid, PacketType type = PacketType::kReply);

}  // namespace standin::tds
