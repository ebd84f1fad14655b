// Any bytes as what a client sends the stand-in. The first byte chooses: bits
// 0-1 the TDS version requests are read at (7.1 to 7.4), bit 2 whether the
// rest is a byte stream read packet by packet from a socket, as a session
// reads it, or one message payload whose type is the second byte. Each message
// is decoded as a session decodes its type (a LOGIN7 also sets the version).
// For any input: the only failures are the stand-in's protocol error (and a
// lost connection for a stream ending inside a packet); every text decoded is
// valid UTF-8; every parameter value takes the form its type's value takes.
#include <sys/socket.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "login7.h"
#include "packet.h"
#include "prelogin.h"
#include "protocol_error.h"
#include "requests.h"
#include "server_version.h"
#include "socket.h"

namespace {

using namespace standin;
using namespace standin::tds;

// A stream longer than this would not fit in the socket's buffer at once.
constexpr std::size_t kMaxStream = 64 * 1024;

[[noreturn]] void Fail(const char* AWhat, std::string_view AText) {
  std::fprintf(stderr, "%s: %.*s\n", AWhat, static_cast<int>(AText.size()), AText.data());
  std::abort();
}

bool IsUtf8(std::string_view AText) {
  std::size_t i = 0;
  while (i < AText.size()) {
    const auto lead = static_cast<unsigned char>(AText[i]);
    std::size_t length = lead < 0x80           ? 1
                         : (lead >> 5) == 0x6  ? 2
                         : (lead >> 4) == 0xE  ? 3
                         : (lead >> 3) == 0x1E ? 4
                                               : 0;
    if (length == 0 || i + length > AText.size()) return false;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(AText[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

void CheckText(const std::string& AText, const char* AWhat) {
  if (!IsUtf8(AText)) Fail(AWhat, AText);
}

// Whether `AText` follows `APattern`, where "9" stands for any digit and "X"
// for an upper-case hexadecimal digit.
bool IsShaped(std::string_view AText, std::string_view APattern) {
  if (AText.size() != APattern.size()) return false;
  for (std::size_t i = 0; i < AText.size(); ++i) {
    const char c = AText[i];
    const bool digit = c >= '0' && c <= '9';
    if (APattern[i] == '9'   ? !digit
        : APattern[i] == 'X' ? !digit && !(c >= 'A' && c <= 'F')
                             : c != APattern[i]) {
      return false;
    }
  }
  return true;
}

// A plain decimal with exactly `AScale` fraction digits.
bool IsDecimal(std::string_view AText, int AScale) {
  if (AText.starts_with('-')) AText.remove_prefix(1);
  const std::size_t point = AScale > 0 ? AText.size() - 1 - AScale : AText.size();
  if (AText.size() <= static_cast<std::size_t>(AScale) + (AScale > 0 ? 1 : 0)) return false;
  for (std::size_t i = 0; i < AText.size(); ++i) {
    if (i == point ? AText[i] != '.' : AText[i] < '0' || AText[i] > '9') return false;
  }
  return true;
}

// Whether `AValue` is in the engine's form for values of `AType`.
bool HoldsFormOf(const Value& AValue, const SqlType& AType) {
  if (IsNull(AValue)) return true;
  const std::string* text = std::get_if<std::string>(&AValue);
  switch (AType.id) {
    case TypeId::DateTime:
    case TypeId::SmallDateTime:
      return text && IsShaped(*text, "9999-99-99 99:99:99.999");
    case TypeId::Date:
      return text && IsShaped(*text, "9999-99-99");
    case TypeId::Time:
      return text &&
             IsShaped(*text, AType.scale == 0 ? std::string("99:99:99")
                                              : "99:99:99." + std::string(AType.scale, '9'));
    case TypeId::Money:
    case TypeId::SmallMoney:
      return text && IsDecimal(*text, 4);
    case TypeId::Decimal:
      return text && IsDecimal(*text, AType.scale);
    case TypeId::UniqueIdentifier:
      return text && IsShaped(*text, "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX");
    default:
      break;
  }
  switch (AType.id) {
    case TypeId::Int:
    case TypeId::BigInt:
    case TypeId::SmallInt:
    case TypeId::TinyInt:
    case TypeId::Bit:
      return std::holds_alternative<std::int64_t>(AValue);
    case TypeId::Float:
    case TypeId::Real:
      return std::holds_alternative<double>(AValue);
    case TypeId::Binary:
    case TypeId::VarBinary:
    case TypeId::Image:
      return std::holds_alternative<Bytes>(AValue);
    default:
      return text && IsUtf8(*text);
  }
}

void Decode(PacketType AType, std::span<const std::uint8_t> APayload, TdsVersion& AVersion) {
  switch (AType) {
    case PacketType::kPrelogin:
      ParsePrelogin(APayload);
      break;
    case PacketType::kLogin7: {
      const Login7 login = ParseLogin7(APayload);
      for (const std::string* text : {&login.host_name, &login.user_name, &login.password,
                                      &login.app_name, &login.language, &login.database}) {
        CheckText(*text, "LOGIN7 text not UTF-8");
      }
      AVersion = NegotiateVersion(login.tds_version);
      break;
    }
    case PacketType::kSqlBatch:
      CheckText(ParseSqlBatch(APayload, AVersion), "batch text not UTF-8");
      break;
    case PacketType::kRpc:
      for (const RpcCall& call : ParseRpc(APayload, AVersion)) {
        CheckText(call.procedure, "procedure name not UTF-8");
        for (const Param& param : call.params) {
          CheckText(param.name, "parameter name not UTF-8");
          if (!HoldsFormOf(param.value, param.type)) {
            Fail("value not in its type's form", std::holds_alternative<std::string>(param.value)
                                                     ? std::get<std::string>(param.value)
                                                     : "");
          }
        }
      }
      break;
    case PacketType::kTransactionManager:
      ParseTransactionRequest(APayload, AVersion);
      break;
    default:
      break;  // attention has no payload to read; a session refuses the rest
  }
}

void DecodeStream(std::span<const std::uint8_t> AStream, TdsVersion AVersion) {
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) Fail("socketpair failed", "");
  Socket server(fds[0]);
  {
    Socket client(fds[1]);
    client.WriteAll(AStream);
  }  // closed: the server reads to the end of the stream
  std::size_t payload_bytes = 0;
  while (auto message = ReadMessage(server)) {
    payload_bytes += message->payload.size();
    if (payload_bytes > AStream.size()) Fail("more payload than bytes sent", "");
    Decode(message->type, message->payload, AVersion);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  if (ASize < 2 || ASize > kMaxStream) return 0;
  constexpr std::array<TdsVersion, 4> kVersions = {TdsVersion::k71, TdsVersion::k72,
                                                   TdsVersion::k73, TdsVersion::k74};
  const TdsVersion version = kVersions[AData[0] & 0x3];
  const std::span<const std::uint8_t> rest(AData + 1, ASize - 1);
  try {
    if (AData[0] & 0x4) {
      DecodeStream(rest, version);
    } else {
      TdsVersion negotiated = version;
      Decode(static_cast<PacketType>(rest[0]), rest.subspan(1), negotiated);
    }
  } catch (const ProtocolError&) {
  } catch (const ConnectionLost&) {
  }
  return 0;
}
