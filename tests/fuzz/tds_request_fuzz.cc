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
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                                       : (lead >> 3) == 0x1E ? 4 : 0;
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

// Whether `AValue` holds the alternative the engine keeps values of `AType` in.
bool HoldsFormOf(const Value& AValue, TypeId AType) {
  if (IsNull(AValue)) return true;
  switch (AType) {
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
      return std::holds_alternative<std::string>(AValue) &&
             IsUtf8(std::get<std::string>(AValue));
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
          if (!HoldsFormOf(param.value, param.type.id)) Fail("value not in its type's form", "");
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
