#include "prelogin.h"

#include <algorithm>

#include "byte_reader.h"
#include "byte_writer.h"
#include "server_version.h"

namespace standin::tds {
namespace {

enum Option : std::uint8_t {
  kVersion = 0,
  kEncryption = 1,
  kInstance = 2,
  kThreadId = 3,
  kMars = 4,
  kTerminator = 0xFF,
};

}  // namespace

PreloginRequest ParsePrelogin(std::span<const std::uint8_t> payload) {
  PreloginRequest request;
  ByteReader options(payload);
  while (true) {
    std::uint8_t option = options.U8();
    if (option == kTerminator) break;
    std::size_t offset = options.U16BigEndian();
    std::size_t length = options.U16BigEndian();
    if (offset > payload.size() || length > payload.size() - offset) {
      throw ProtocolError("PRELOGIN option outside the message");
    }
    if (option == kEncryption && length >= 1) {
      // Values past REQ are unknown; a client sending one wants encryption.
      request.encryption = static_cast<Encryption>(std::min<std::uint8_t>(payload[offset], 3));
    }
  }
  return request;
}

EncryptionAgreement AgreeEncryption(Encryption client, ServerEncryption server) {
  const bool insists = client == Encryption::kOn || client == Encryption::kRequired;
  switch (server) {
    case ServerEncryption::kNone:
      return {Encryption::kNotSupported,
              insists ? SessionEncryption::kRefused : SessionEncryption::kClear};
    case ServerEncryption::kAvailable:
      if (client == Encryption::kNotSupported) {
        return {Encryption::kNotSupported, SessionEncryption::kClear};
      }
      if (client == Encryption::kOff) return {Encryption::kOff, SessionEncryption::kLoginOnly};
      return {Encryption::kOn, SessionEncryption::kFull};
    case ServerEncryption::kForced:
      if (client == Encryption::kNotSupported) {
        return {Encryption::kRequired, SessionEncryption::kRefused};
      }
      return {insists ? Encryption::kOn : Encryption::kRequired, SessionEncryption::kFull};
  }
  return {Encryption::kNotSupported, SessionEncryption::kRefused};
}

std::vector<std::uint8_t> PreloginReply(Encryption answer) {
  struct Entry {
    Option option;
    std::vector<std::uint8_t> data;
  };
  const Entry entries[] = {
      {kVersion,
       {kServerVersionMajor, kServerVersionMinor, static_cast<std::uint8_t>(kServerBuild >> 8),
        static_cast<std::uint8_t>(kServerBuild & 0xFF), 0, 0}},
      {kEncryption, {static_cast<std::uint8_t>(answer)}},
      {kInstance, {0}},
      {kThreadId, {}},
      {kMars, {0}},
  };
  constexpr std::size_t kOptionHeader = 5;
  std::size_t offset = std::size(entries) * kOptionHeader + 1;
  ByteWriter out;
  for (const Entry& e : entries) {
    out.U8(e.option);
    out.U16BigEndian(static_cast<std::uint16_t>(offset));
    out.U16BigEndian(static_cast<std::uint16_t>(e.data.size()));
    offset += e.data.size();
  }
  out.U8(kTerminator);
  for (const Entry& e : entries) out.Append(e.data);
  return out.Release();
}

}  // namespace standin::tds
