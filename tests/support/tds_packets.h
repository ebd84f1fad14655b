// TDS packets as they cross the wire: the header a test's own server puts on
// what it sends, and the packets a client sent, read back from recorded bytes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace standin_test {

inline constexpr std::uint8_t kTdsReply = 0x04;
inline constexpr std::uint8_t kTds5Login = 0x02;
inline constexpr std::uint8_t kTdsLogin7 = 0x10;
inline constexpr std::uint8_t kTdsPrelogin = 0x12;
inline constexpr std::size_t kTdsHeaderSize = 8;

// `payload` (at most 65535 - 8 bytes) behind a header of packet `type`,
// marked as the message's last packet or not.
std::vector<std::uint8_t> TdsPacket(std::uint8_t type, bool last,
                                    std::span<const std::uint8_t> payload);

// A server's PRELOGIN answer payload that gives `encryption` (0 off, 1 on,
// 2 not supported, 3 required) and a version.
std::vector<std::uint8_t> PreloginAnswer(std::uint8_t encryption);

// The types of the packets in one connection's bytes from its client, in
// order, up to the first bytes that do not read as a packet header (a TLS
// session's records, or a packet cut short).
std::vector<std::uint8_t> PacketTypes(std::span<const std::uint8_t> client_bytes);

}  // namespace standin_test
