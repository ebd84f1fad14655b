// Column types and values on the wire as SQL Server sends them, per TDS version.
#include "column_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace standin::tds {
namespace {

using B = std::vector<std::uint8_t>;

B TypeInfo(const SqlType& type, TdsVersion version) {
  ByteWriter out;
  WriteTypeInfo(out, type, version);
  return out.Release();
}

B ValueBytes(const SqlType& type, const Value& value, TdsVersion version = TdsVersion::k74) {
  ByteWriter out;
  WriteValue(out, type, value, version);
  return out.Release();
}

TEST(ColumnEncodingTest, DescribesTypesAsSqlServerDoes) {
  const B collation = {0x09, 0x04, 0xD0, 0x00, 0x34};
  auto with_collation = [&](B head) {
    head.insert(head.end(), collation.begin(), collation.end());
    return head;
  };
  struct Case {
    const char* what;
    SqlType type;
    TdsVersion version;
    B expected;
  };
  const Case cases[] = {
      {"int", MakeType(TypeId::Int), TdsVersion::k74, {0x26, 4}},
      {"bit", MakeType(TypeId::Bit), TdsVersion::k74, {0x68, 1}},
      {"smalldatetime", MakeType(TypeId::SmallDateTime), TdsVersion::k74, {0x6F, 4}},
      {"decimal(10,2)", MakeType(TypeId::Decimal, 0, 10, 2), TdsVersion::k74, {0x6A, 9, 10, 2}},
      {"decimal(38,0)", MakeType(TypeId::Decimal, 0, 38, 0), TdsVersion::k74, {0x6A, 17, 38, 0}},
      {"varchar(30)", MakeType(TypeId::VarChar, 30), TdsVersion::k74,
       with_collation({0xA7, 30, 0})},
      {"nchar(5)", MakeType(TypeId::NChar, 5), TdsVersion::k74, with_collation({0xEF, 10, 0})},
      {"varchar(max)", MakeType(TypeId::VarChar, SqlType::kMaxLength), TdsVersion::k74,
       with_collation({0xA7, 0xFF, 0xFF})},
      {"varchar(max) for 7.1 is text", MakeType(TypeId::VarChar, SqlType::kMaxLength),
       TdsVersion::k71, with_collation({0x23, 0xFF, 0xFF, 0xFF, 0x7F})},
      {"varbinary(max) for 7.1 is image",
       MakeType(TypeId::VarBinary, SqlType::kMaxLength),
       TdsVersion::k71,
       {0x22, 0xFF, 0xFF, 0xFF, 0x7F}},
      {"ntext", MakeType(TypeId::NText), TdsVersion::k74,
       with_collation({0x63, 0xFE, 0xFF, 0xFF, 0x7F})},
      {"date", MakeType(TypeId::Date), TdsVersion::k74, {0x28}},
      {"date for 7.2 is nvarchar(10)", MakeType(TypeId::Date), TdsVersion::k72,
       with_collation({0xE7, 20, 0})},
      {"time(7)", MakeType(TypeId::Time, 0, 0, 7), TdsVersion::k73, {0x29, 7}},
      {"time(7) for 7.2 is nvarchar(16)", MakeType(TypeId::Time, 0, 0, 7), TdsVersion::k72,
       with_collation({0xE7, 32, 0})},
      {"datetime2(7)", MakeType(TypeId::DateTime2, 0, 0, 7), TdsVersion::k74, {0x2A, 7}},
      {"datetime2(0)", MakeType(TypeId::DateTime2, 0, 0, 0), TdsVersion::k73, {0x2A, 0}},
      {"datetime2(7) for 7.2 is nvarchar(27)", MakeType(TypeId::DateTime2, 0, 0, 7),
       TdsVersion::k72, with_collation({0xE7, 54, 0})},
      {"binary(4)", MakeType(TypeId::Binary, 4), TdsVersion::k74, {0xAD, 4, 0}},
      {"uniqueidentifier", MakeType(TypeId::UniqueIdentifier), TdsVersion::k74, {0x24, 16}},
  };
  for (const Case& c : cases) EXPECT_EQ(TypeInfo(c.type, c.version), c.expected) << c.what;
}

TEST(ColumnEncodingTest, EncodesValuesAsSqlServerDoes) {
  struct Case {
    const char* what;
    SqlType type;
    Value value;
    B expected;
  };
  const Case cases[] = {
      {"int", MakeType(TypeId::Int), std::int64_t{-5}, {4, 0xFB, 0xFF, 0xFF, 0xFF}},
      {"null int", MakeType(TypeId::Int), Value{}, {0}},
      {"money",
       MakeType(TypeId::Money),
       std::string("-12.3400"),
       {8, 0xFF, 0xFF, 0xFF, 0xFF, 0xF8, 0x1D, 0xFE, 0xFF}},
      {"decimal",
       MakeType(TypeId::Decimal, 0, 10, 2),
       std::string("-12345.67"),
       {9, 0, 0x87, 0xD6, 0x12, 0, 0, 0, 0, 0}},
      {"datetime",
       MakeType(TypeId::DateTime),
       std::string("2024-02-29 13:45:01.997"),
       {8, 0x25, 0xB1, 0, 0, 0x27, 0x9A, 0xE2, 0}},
      {"datetime before 1900",
       MakeType(TypeId::DateTime),
       std::string("1899-12-31 00:00:00.000"),
       {8, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}},
      {"date", MakeType(TypeId::Date), std::string("2023-12-31"), {3, 0x44, 0x46, 0x0B}},
      {"time(3)",
       MakeType(TypeId::Time, 0, 0, 3),
       std::string("13:45:01.997"),
       {4, 0x2D, 0x57, 0xF3, 0x02}},
      {"datetime2(3)",
       MakeType(TypeId::DateTime2, 0, 0, 3),
       std::string("2023-12-31 13:45:01.997"),
       {7, 0x2D, 0x57, 0xF3, 0x02, 0x44, 0x46, 0x0B}},
      {"datetime2(7) to 100 ns",
       MakeType(TypeId::DateTime2, 0, 0, 7),
       std::string("2023-12-31 13:45:01.9970001"),
       {8, 0xD1, 0x4D, 0x7D, 0x41, 0x73, 0x44, 0x46, 0x0B}},
      {"datetime2 on the first day",
       MakeType(TypeId::DateTime2, 0, 0, 0),
       std::string("0001-01-01 00:00:00"),
       {6, 0, 0, 0, 0, 0, 0}},
      {"guid",
       MakeType(TypeId::UniqueIdentifier),
       std::string("01234567-89AB-CDEF-0123-456789ABCDEF"),
       {16, 0x67, 0x45, 0x23, 0x01, 0xAB, 0x89, 0xEF, 0xCD, 1, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD,
        0xEF}},
      {"varchar in code page 1252",
       MakeType(TypeId::VarChar, 10),
       std::string("Zoë€"),
       {4, 0, 'Z', 'o', 0xEB, 0x80}},
      {"varchar without the character",
       MakeType(TypeId::VarChar, 10),
       std::string("✓"),
       {1, 0, '?'}},
      {"nvarchar",
       MakeType(TypeId::NVarChar, 10),
       std::string("Zoë"),
       {6, 0, 'Z', 0, 'o', 0, 0xEB, 0}},
      {"null varchar", MakeType(TypeId::VarChar, 10), Value{}, {0xFF, 0xFF}},
      {"nvarchar(max)",
       MakeType(TypeId::NVarChar, SqlType::kMaxLength),
       std::string("a"),
       {2, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 'a', 0, 0, 0, 0, 0}},
      {"empty varbinary(max)",
       MakeType(TypeId::VarBinary, SqlType::kMaxLength),
       Bytes{},
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"null varbinary(max)",
       MakeType(TypeId::VarBinary, SqlType::kMaxLength),
       Value{},
       {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"null text", MakeType(TypeId::Text), Value{}, {0}},
  };
  for (const Case& c : cases) EXPECT_EQ(ValueBytes(c.type, c.value), c.expected) << c.what;
}

TEST(ColumnEncodingTest, SendsDateAndTimeAsTextToClientsBefore73) {
  EXPECT_EQ(
      ValueBytes(MakeType(TypeId::Date), std::string("2023-12-31"), TdsVersion::k72),
      (B{20, 0, '2', 0, '0', 0, '2', 0, '3', 0, '-', 0, '1', 0, '2', 0, '-', 0, '3', 0, '1', 0}));
}

TEST(ColumnEncodingTest, RefusesValuesThatDoNotFitTheirType) {
  EXPECT_THROW(ValueBytes(MakeType(TypeId::DateTime), std::string("yesterday")),
               std::invalid_argument);
  EXPECT_THROW(ValueBytes(MakeType(TypeId::Decimal, 0, 10, 2), std::string("1.2.3")),
               std::invalid_argument);
  EXPECT_THROW(ValueBytes(MakeType(TypeId::Money), std::string("922337203685477.5808")),
               std::invalid_argument);
  EXPECT_THROW(ValueBytes(MakeType(TypeId::UniqueIdentifier), std::string("0123")),
               std::invalid_argument);
}

}  // namespace
}  // namespace standin::tds
