#include "server_version.h"

#include <string>

#include "protocol_error.h"

namespace standin::tds {

TdsVersion NegotiateVersion(std::uint32_t client_version) {
  // Clients of 7.3 send either revision A (0x730A0003) or B; both are answered with B.
  std::uint8_t major_minor = static_cast<std::uint8_t>(client_version >> 24);
  if (major_minor >= 0x74) return TdsVersion::k74;
  if (major_minor == 0x73) return TdsVersion::k73;
  if (major_minor == 0x72) return TdsVersion::k72;
  if (major_minor == 0x71 || client_version == 0x07010000) return TdsVersion::k71;
  throw ProtocolError("unsupported TDS version " + std::to_string(client_version));
}

}  // namespace standin::tds
