// The product version the stand-in announces (that of SQL Server 2019 RTM),
// and the TDS protocol versions it speaks.
#pragma once

#include <cstdint>

namespace standin::tds {

inline constexpr std::uint8_t kServerVersionMajor = 15;
inline constexpr std::uint8_t kServerVersionMinor = 0;
inline constexpr std::uint16_t kServerBuild = 2000;

// A TDS protocol version, ordered by feature level. The values are those a
// client puts in LOGIN7 and the server echoes in LOGINACK.
enum class TdsVersion : std::uint32_t {
  k71 = 0x71000001,
  k72 = 0x72090002,
  k73 = 0x730B0003,
  k74 = 0x74000004,
};

// The version the server answers a client's LOGIN7 version with: the highest
// it speaks that is not above the client's. Throws ProtocolError below 7.1.
TdsVersion NegotiateVersion(std::uint32_t client_version);

// Feature tests for the protocol differences the server honours.
inline bool HasAllHeaders(TdsVersion v) {
  return v >= TdsVersion::k72;
}  // and 8-byte counts, PLP
inline bool HasDateTypes(TdsVersion v) {
  return v >= TdsVersion::k73;
}  // and NBCROW

}  // namespace standin::tds
