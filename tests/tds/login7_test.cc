// LOGIN7 parsing: fields, password de-obfuscation, and records that lie.
#include "login7.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "byte_writer.h"
#include "protocol_error.h"
#include "text_codec.h"

namespace standin::tds {
namespace {

// The client's scrambling, written out independently of the server's code.
std::vector<std::uint8_t> Scramble(const std::string& password) {
  std::vector<std::uint8_t> bytes = Utf8ToUtf16Le(password);
  for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(((b << 4) | (b >> 4)) ^ 0xA5);
  return bytes;
}

struct LoginFields {
  std::string host = "WS01", user = "jailer", password = "S3cret!", app = "Synch",
              server = "127.0.0.1", language = "", database = "JAIL";
};

std::vector<std::uint8_t> BuildLogin7(const LoginFields& f) {
  constexpr std::size_t kFixed = 94;
  std::vector<std::vector<std::uint8_t>> parts = {
      Utf8ToUtf16Le(f.host), Utf8ToUtf16Le(f.user),     Scramble(f.password),
      Utf8ToUtf16Le(f.app),  Utf8ToUtf16Le(f.server),   {},
      Utf8ToUtf16Le("ODBC"), Utf8ToUtf16Le(f.language), Utf8ToUtf16Le(f.database)};
  ByteWriter out;
  out.U32(0);  // length, patched below
  out.U32(0x74000004);
  out.U32(8192);
  for (int i = 0; i < 3; ++i) out.U32(0);  // program version, pid, connection id
  out.U8(0xE0);
  out.U8(0x03);
  out.U8(0);
  out.U8(0);
  out.U32(0);
  out.U32(0x409);
  std::size_t offset = kFixed;
  for (const auto& part : parts) {
    out.U16(static_cast<std::uint16_t>(offset));
    out.U16(static_cast<std::uint16_t>(part.size() / 2));
    offset += part.size();
  }
  for (int i = 0; i < 6; ++i) out.U8(0);  // client id
  for (int i = 0; i < 3; ++i) {           // SSPI, attach file, change password
    out.U16(static_cast<std::uint16_t>(offset));
    out.U16(0);
  }
  out.U32(0);
  for (const auto& part : parts) out.Append(part);
  std::vector<std::uint8_t> bytes = out.Release();
  bytes[0] = static_cast<std::uint8_t>(bytes.size());
  bytes[1] = static_cast<std::uint8_t>(bytes.size() >> 8);
  return bytes;
}

TEST(Login7Test, ReadsEveryFieldTheServerUses) {
  LoginFields fields;
  fields.password = "Zoë ✓ pw";
  fields.language = "us_english";
  Login7 login = ParseLogin7(BuildLogin7(fields));
  EXPECT_EQ(login.tds_version, 0x74000004u);
  EXPECT_EQ(login.packet_size, 8192u);
  EXPECT_EQ(login.host_name, "WS01");
  EXPECT_EQ(login.user_name, "jailer");
  EXPECT_EQ(login.password, "Zoë ✓ pw");
  EXPECT_EQ(login.app_name, "Synch");
  EXPECT_EQ(login.language, "us_english");
  EXPECT_EQ(login.database, "JAIL");
}

TEST(Login7Test, DeobfuscatesPasswords) {
  for (const std::string password : {"", "a", "S3cret!", "pässwörd", "€uro"}) {
    EXPECT_EQ(DeobfuscatePassword(Scramble(password)), password);
  }
  // 'a' (61 00) scrambles to B3 A5.
  const std::vector<std::uint8_t> a = {0xB3, 0xA5};
  EXPECT_EQ(DeobfuscatePassword(a), "a");
}

TEST(Login7Test, RejectsRecordsThatPointOutsideThemselves) {
  const std::vector<std::uint8_t> good = BuildLogin7({});
  struct Case {
    const char* what;
    std::size_t at;
    std::uint8_t value;
  };
  const Case cases[] = {
      {"user name offset beyond the end", 40, 0xF0},
      {"database length beyond the end", 70, 0xFF},
      {"record length beyond the message", 1, 0x7F},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bad = good;
    bad[c.at] = c.value;
    EXPECT_THROW(ParseLogin7(bad), ProtocolError) << c.what;
  }
  EXPECT_THROW(ParseLogin7(std::vector<std::uint8_t>(good.begin(), good.begin() + 50)),
               ProtocolError);
}

}  // namespace
}  // namespace standin::tds
