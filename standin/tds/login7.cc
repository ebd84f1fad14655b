#include "login7.h"

#include <vector>

#include "byte_reader.h"
#include "text_codec.h"

namespace standin::tds {
namespace {

// The fixed part a TDS 7.1 client sends; later versions append more fields.
constexpr std::size_t kFixedPartSize = 86;

struct Field {
  std::size_t offset;
  std::size_t chars;
};

// The bytes of a variable field; its offset counts from the start of the record.
std::span<const std::uint8_t> FieldBytes(std::span<const std::uint8_t> payload, Field f) {
  std::size_t bytes = f.chars * 2;
  if (f.offset > payload.size() || bytes > payload.size() - f.offset) {
    throw ProtocolError("LOGIN7 field outside the record");
  }
  return payload.subspan(f.offset, bytes);
}

}  // namespace

std::string DeobfuscatePassword(std::span<const std::uint8_t> scrambled) {
  std::vector<std::uint8_t> plain(scrambled.begin(), scrambled.end());
  for (std::uint8_t& b : plain) {
    b ^= 0xA5;
    b = static_cast<std::uint8_t>((b << 4) | (b >> 4));
  }
  return Utf16LeToUtf8(plain);
}

Login7 ParseLogin7(std::span<const std::uint8_t> payload) {
  if (payload.size() < kFixedPartSize) throw ProtocolError("LOGIN7 record too short");
  ByteReader in(payload);
  Login7 login;
  std::uint32_t length = in.U32();
  if (length > payload.size()) throw ProtocolError("LOGIN7 length exceeds the message");
  login.tds_version = in.U32();
  login.packet_size = in.U32();
  // Client program version, process id, connection id, option and type flags,
  // time zone, LCID: nothing the stand-in acts on.
  in.Skip(4 + 4 + 4 + 4 + 4 + 4);
  auto field = [&in] {
    std::size_t offset = in.U16();
    return Field{offset, in.U16()};
  };
  Field host = field(), user = field(), password = field(), app = field();
  field();  // server name
  field();  // extension
  field();  // client interface name
  Field language = field(), database = field();
  login.host_name = Utf16LeToUtf8(FieldBytes(payload, host));
  login.user_name = Utf16LeToUtf8(FieldBytes(payload, user));
  login.password = DeobfuscatePassword(FieldBytes(payload, password));
  login.app_name = Utf16LeToUtf8(FieldBytes(payload, app));
  login.language = Utf16LeToUtf8(FieldBytes(payload, language));
  login.database = Utf16LeToUtf8(FieldBytes(payload, database));
  return login;
}

}  // namespace standin::tds
