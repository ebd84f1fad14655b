#include "tds_packets.h"

#include <algorithm>
#include <stdexcept>

namespace standin_test {

std::vector<std::uint8_t> TdsPacket(std::uint8_t type, bool last,
                                    std::span<const std::uint8_t> payload) {
  const std::size_t length = kTdsHeaderSize + payload.size();
  if (length > 0xFFFF) throw std::length_error("a TDS packet holds at most 65535 bytes");
  std::vector<std::uint8_t> packet(length);
  packet[0] = type;
  packet[1] = last ? 1 : 0;
  packet[2] = static_cast<std::uint8_t>(length >> 8);
  packet[3] = static_cast<std::uint8_t>(length);
  packet[6] = 1;  // the packet's number
  std::copy(payload.begin(), payload.end(), packet.begin() + kTdsHeaderSize);
  return packet;
}

std::vector<std::uint8_t> PreloginAnswer(std::uint8_t encryption) {
  // VERSION at offset 11 (6 bytes), ENCRYPTION at 17 (1 byte), terminator.
  return {0, 0, 11, 0, 6, 1, 0, 17, 0, 1, 0xFF, 15, 0, 0x07, 0xD0, 0, 0, encryption};
}

std::vector<std::uint8_t> PacketTypes(std::span<const std::uint8_t> client_bytes) {
  // A client's types run from SQL batch (1) to PRELOGIN (0x12); a TLS
  // record starts with 0x14 to 0x17.
  std::vector<std::uint8_t> types;
  while (client_bytes.size() >= kTdsHeaderSize && client_bytes[0] >= 0x01 &&
         client_bytes[0] <= kTdsPrelogin) {
    const std::size_t length = (std::size_t{client_bytes[2]} << 8) | client_bytes[3];
    if (length < kTdsHeaderSize || length > client_bytes.size()) break;
    types.push_back(client_bytes[0]);
    client_bytes = client_bytes.subspan(length);
  }
  return types;
}

}  // namespace standin_test
