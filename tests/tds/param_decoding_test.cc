// Decoding RPC parameters of every type a client sends into the engine's forms.
#include "param_decoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol_error.h"

namespace standin::tds {
namespace {

using B = std::vector<std::uint8_t>;

// A parameter named @p, input, followed by the TYPE_INFO and value bytes given.
B ParamBytes(const B& type_and_value, std::uint8_t status = 0) {
  B bytes = {2, '@', 0, 'p', 0, status};
  bytes.insert(bytes.end(), type_and_value.begin(), type_and_value.end());
  return bytes;
}

std::string Describe(const Value& v) {
  if (IsNull(v)) return "NULL";
  if (auto* i = std::get_if<std::int64_t>(&v)) return "int " + std::to_string(*i);
  if (auto* d = std::get_if<double>(&v)) return "double " + std::to_string(*d);
  if (auto* s = std::get_if<std::string>(&v)) return "'" + *s + "'";
  std::string hex = "0x";
  for (std::uint8_t b : std::get<Bytes>(v))
    hex += "0123456789ABCDEF"[b >> 4], hex += "0123456789ABCDEF"[b & 15];
  return hex;
}

TEST(ParamDecodingTest, DecodesEachTypeIntoTheEnginesForm) {
  const B collation = {0x09, 0x04, 0xD0, 0x00, 0x34};
  auto with_collation = [&](B head, B tail) {
    head.insert(head.end(), collation.begin(), collation.end());
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  struct Case {
    const char* what;
    B bytes;
    TypeId type;
    std::string value;  // as Describe() shows it
    std::int32_t length = 0;
  };
  const Case cases[] = {
      {"intn 4", {0x26, 4, 4, 0xFB, 0xFF, 0xFF, 0xFF}, TypeId::Int, "int -5"},
      {"intn null", {0x26, 4, 0}, TypeId::Int, "NULL"},
      {"intn 8",
       {0x26, 8, 8, 1, 0, 0, 0, 0, 0, 0, 0x80},
       TypeId::BigInt,
       "int -9223372036854775807"},
      {"tinyint 255", {0x26, 1, 1, 0xFF}, TypeId::TinyInt, "int 255"},
      {"smallint", {0x26, 2, 2, 0xD4, 0xFE}, TypeId::SmallInt, "int -300"},
      {"fixed int4", {0x38, 7, 0, 0, 0}, TypeId::Int, "int 7"},
      {"bitn", {0x68, 1, 1, 1}, TypeId::Bit, "int 1"},
      {"float", {0x6D, 8, 8, 0, 0, 0, 0, 0, 0, 4, 0x40}, TypeId::Float, "double 2.500000"},
      {"real", {0x6D, 4, 4, 0, 0, 0xC0, 0x3F}, TypeId::Real, "double 1.500000"},
      {"money",
       {0x6E, 8, 8, 0xFF, 0xFF, 0xFF, 0xFF, 0xF8, 0x1D, 0xFE, 0xFF},
       TypeId::Money,
       "'-12.3400'"},
      {"smallmoney", {0x6E, 4, 4, 0x3C, 0xD7, 0, 0}, TypeId::SmallMoney, "'5.5100'"},
      {"decimal(10,2)",
       {0x6A, 9, 10, 2, 9, 0, 0x87, 0xD6, 0x12, 0, 0, 0, 0, 0},
       TypeId::Decimal,
       "'-12345.67'"},
      {"numeric(5,0)", {0x6C, 5, 5, 0, 5, 1, 42, 0, 0, 0}, TypeId::Decimal, "'42'"},
      // 2024-02-29 is day 45349 after 1900-01-01; 13:45:01.997 is 14850599 ticks.
      {"datetime",
       {0x6F, 8, 8, 0x25, 0xB1, 0, 0, 0x27, 0x9A, 0xE2, 0},
       TypeId::DateTime,
       "'2024-02-29 13:45:01.997'"},
      {"smalldatetime",
       {0x6F, 4, 4, 0x25, 0xB1, 0x39, 0x03},
       TypeId::SmallDateTime,
       "'2024-02-29 13:45:00.000'"},
      // 2023-12-31 is day 738884 after 0001-01-01.
      {"date", {0x28, 3, 0x44, 0x46, 0x0B}, TypeId::Date, "'2023-12-31'"},
      {"last date", {0x28, 3, 0xDA, 0xB9, 0x37}, TypeId::Date, "'9999-12-31'"},
      {"first datetime",
       {0x6F, 8, 8, 0x46, 0x2E, 0xFF, 0xFF, 0, 0, 0, 0},
       TypeId::DateTime,
       "'1753-01-01 00:00:00.000'"},
      {"last datetime",
       {0x6F, 8, 8, 0x7F, 0x24, 0x2D, 0, 0xFF, 0x81, 0x8B, 0x01},
       TypeId::DateTime,
       "'9999-12-31 23:59:59.997'"},
      {"last smalldatetime",
       {0x6F, 4, 4, 0xFF, 0xFF, 0x9F, 0x05},
       TypeId::SmallDateTime,
       "'2079-06-06 23:59:00.000'"},
      {"time(3)", {0x29, 3, 4, 0x2D, 0x57, 0xF3, 0x02}, TypeId::Time, "'13:45:01.997'"},
      {"datetime2(3)",
       {0x2A, 3, 7, 0x2D, 0x57, 0xF3, 0x02, 0x44, 0x46, 0x0B},
       TypeId::DateTime2,
       "'2023-12-31 13:45:01.997'"},
      // 13:45:01.9970001 in 100 ns units: 0x73_41_7D_4D_D1.
      {"datetime2(7) keeps 100 ns",
       {0x2A, 7, 8, 0xD1, 0x4D, 0x7D, 0x41, 0x73, 0x44, 0x46, 0x0B},
       TypeId::DateTime2,
       "'2023-12-31 13:45:01.9970001'"},
      {"guid",
       {0x24, 16, 16, 0x67, 0x45, 0x23, 0x01, 0xAB, 0x89, 0xEF, 0xCD, 1, 0x23, 0x45, 0x67, 0x89,
        0xAB, 0xCD, 0xEF},
       TypeId::UniqueIdentifier,
       "'01234567-89AB-CDEF-0123-456789ABCDEF'"},
      {"varchar cp1252", with_collation({0xA7, 20, 0}, {4, 0, 'Z', 'o', 0xEB, 0x80}),
       TypeId::VarChar, "'Zoë€'", 20},
      {"varchar null", with_collation({0xA7, 20, 0}, {0xFF, 0xFF}), TypeId::VarChar, "NULL", 20},
      {"nvarchar", with_collation({0xE7, 40, 0}, {6, 0, 'Z', 0, 'o', 0, 0xEB, 0}), TypeId::NVarChar,
       "'Zoë'", 20},
      {"nvarchar(max) plp in two chunks",
       with_collation({0xE7, 0xFF, 0xFF}, {6, 0, 0, 0, 0, 0,   0, 0,   2, 0, 0, 0, 'a',
                                           0, 4, 0, 0, 0, 'b', 0, 'c', 0, 0, 0, 0, 0}),
       TypeId::NVarChar, "'abc'", SqlType::kMaxLength},
      {"varbinary(max) plp null",
       {0xA5, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
       TypeId::VarBinary,
       "NULL",
       SqlType::kMaxLength},
      {"varbinary", {0xA5, 10, 0, 3, 0, 1, 2, 3}, TypeId::VarBinary, "0x010203", 10},
      {"char(4)", with_collation({0xAF, 4, 0}, {4, 0, 'a', 'b', ' ', ' '}), TypeId::Char, "'ab  '",
       4},
      {"text", with_collation({0x23, 0xFF, 0xFF, 0xFF, 0x7F}, {2, 0, 0, 0, 'h', 'i'}), TypeId::Text,
       "'hi'"},
      {"image null", {0x22, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF}, TypeId::Image, "NULL"},
  };
  for (const Case& c : cases) {
    B bytes = ParamBytes(c.bytes);
    ByteReader in(bytes);
    Param p;
    ASSERT_NO_THROW(p = ReadParam(in)) << c.what;
    EXPECT_EQ(p.name, "@p") << c.what;
    EXPECT_EQ(p.type.id, c.type) << c.what;
    EXPECT_EQ(Describe(p.value), c.value) << c.what;
    if (c.length != 0) {
      EXPECT_EQ(p.type.length, c.length) << c.what;
    }
    EXPECT_TRUE(in.AtEnd()) << c.what;
  }
}

TEST(ParamDecodingTest, ReadsTheOutputFlagAndDecimalShape) {
  B bytes = ParamBytes({0x6A, 17, 38, 4, 0}, 0x01);
  ByteReader in(bytes);
  Param p = ReadParam(in);
  EXPECT_TRUE(p.output);
  EXPECT_EQ(p.type.precision, 38);
  EXPECT_EQ(p.type.scale, 4);
}

TEST(ParamDecodingTest, RefusesParametersThatLie) {
  struct Case {
    const char* what;
    B bytes;
  };
  const Case cases[] = {
      {"value longer than the message", {0xA5, 10, 0, 9, 0, 1, 2}},
      {"plp chunk longer than the message",
       {0xA5, 0xFF, 0xFF, 9, 0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0, 1}},
      {"int of size 3", {0x26, 3, 3, 1, 2, 3}},
      {"int value size differs from its type", {0x26, 4, 2, 1, 2}},
      {"decimal precision 0", {0x6A, 5, 0, 0, 0}},
      {"time scale 9", {0x29, 9, 0}},
      {"date value of 5 bytes", {0x28, 5, 1, 2, 3, 4, 5}},
      {"datetime before 1753", {0x6F, 8, 8, 0x45, 0x2E, 0xFF, 0xFF, 0, 0, 0, 0}},
      {"datetime after 9999", {0x6F, 8, 8, 0x80, 0x24, 0x2D, 0, 0, 0, 0, 0}},
      {"datetime a tick past midnight", {0x6F, 8, 8, 0, 0, 0, 0, 0x00, 0x82, 0x8B, 0x01}},
      {"smalldatetime a minute past midnight", {0x6F, 4, 4, 0, 0, 0xA0, 0x05}},
      {"date after 9999", {0x28, 3, 0xDB, 0xB9, 0x37}},
      {"time(0) at the next midnight", {0x29, 0, 3, 0x80, 0x51, 0x01}},
      {"datetime2(0) after 9999", {0x2A, 0, 6, 0, 0, 0, 0xDB, 0xB9, 0x37}},
      {"unsupported xml", {0xF1, 0}},
  };
  for (const Case& c : cases) {
    B bytes = ParamBytes(c.bytes);
    ByteReader in(bytes);
    EXPECT_THROW(ReadParam(in), ProtocolError) << c.what;
  }
}

}  // namespace
}  // namespace standin::tds
