// LOGIN7, the client's login record, with SQL Server authentication.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace standin::tds {

struct Login7 {
  std::uint32_t tds_version = 0;  // as the client sent it, e.g. 0x74000004
  std::uint32_t packet_size = 0;  // requested; 0 means the server's default
  std::string host_name;
  std::string user_name;
  std::string password;  // de-obfuscated
  std::string app_name;
  std::string language;
  std::string database;
};

// Parses a LOGIN7 payload; throws ProtocolError if a field lies outside it.
Login7 ParseLogin7(std::span<const std::uint8_t> payload);

// Reverses the client's password scrambling (each byte XORed with 0xA5 after
// swapping its nibbles) and decodes the UCS-2 result.
std::string DeobfuscatePassword(std::span<const std::uint8_t> scrambled);

}  // namespace standin::tds
