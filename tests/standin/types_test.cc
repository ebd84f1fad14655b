// Every column type the program may meet, stored and read back through the
// driver, with the SQL type the driver reports for it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "db/odbc/sql_api.h"
#include "odbc_test_connection.h"
#include "standin_server.h"

namespace standin_test {
namespace {

// The driver's codes for SQL Server's time(n) type (from its SQL Server header).
constexpr SQLSMALLINT kSqlSsTime2 = -154;
constexpr int kUnchecked = -1;

enum class Read { Text, Double, Hex };

struct TypeCase {
  const char* name;
  const char* declared;
  std::string literal;
  Read read;
  std::string expected;  // text, hex digits, or the double's shortest text
  SQLSMALLINT sql_type;
  long size = kUnchecked;  // SQLDescribeCol's column size
  int digits = kUnchecked;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const TypeCase& c, std::ostream* os) {
  *os << c.name;
}

std::string Hex(const std::vector<unsigned char>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

const std::string kLongText(5000, 'x');

const TypeCase kTypes[] = {
    {"IntMax", "int", "2147483647", Read::Text, "2147483647", SQL_INTEGER, 10, 0},
    {"IntMin", "int", "-2147483648", Read::Text, "-2147483648", SQL_INTEGER, 10, 0},
    {"BigInt", "bigint", "-9223372036854775808", Read::Text, "-9223372036854775808", SQL_BIGINT, 19,
     0},
    {"SmallInt", "smallint", "-32768", Read::Text, "-32768", SQL_SMALLINT, 5, 0},
    {"TinyInt", "tinyint", "255", Read::Text, "255", SQL_TINYINT, 3, 0},
    {"Bit", "bit", "1", Read::Text, "1", SQL_BIT, 1, 0},
    {"BitFromNonZero", "bit", "7", Read::Text, "1", SQL_BIT, 1, 0},
    {"CharIsBlankPadded", "char(10)", "'abc'", Read::Text, "abc       ", SQL_CHAR},
    {"CharLatin1", "char(5)", "'Zoë'", Read::Text, "Zoë  ", SQL_CHAR},
    {"VarCharLatin1", "varchar(20)", "'Zoë José'", Read::Text, "Zoë José", SQL_VARCHAR},
    // varchar holds code page 1252: the euro sign fits, omega does not.
    {"VarCharCodePage", "varchar(20)", "N'€5 Ω'", Read::Text, "€5 ?", SQL_VARCHAR},
    {"VarCharKeepsTrailingBlanks", "varchar(20)", "'abc  '", Read::Text, "abc  ", SQL_VARCHAR},
    {"VarCharMax", "varchar(max)", "'" + kLongText + "'", Read::Text, kLongText, SQL_VARCHAR, 0},
    {"NChar", "nchar(5)", "N'Zoë'", Read::Text, "Zoë  ", SQL_WCHAR},
    {"NVarChar", "nvarchar(20)", "N'Zoë Ωμέγα'", Read::Text, "Zoë Ωμέγα", SQL_WVARCHAR},
    {"NVarCharMax", "nvarchar(max)", "N'" + kLongText + "Ω'", Read::Text, kLongText + "Ω",
     SQL_WVARCHAR, 0},
    {"TextLong", "text", "'" + kLongText + kLongText + "'", Read::Text, kLongText + kLongText,
     SQL_LONGVARCHAR},
    {"Text", "text", "'Inmate''s property: Zoë'", Read::Text, "Inmate's property: Zoë",
     SQL_LONGVARCHAR},
    {"NText", "ntext", "N'Zoë Ωμέγα'", Read::Text, "Zoë Ωμέγα", SQL_WLONGVARCHAR},
    {"DateTime", "datetime", "'2024-02-29 13:45:30.123'", Read::Text, "2024-02-29 13:45:30.123",
     SQL_TYPE_TIMESTAMP, 23, 3},
    // datetime keeps 1/300 s: .002 rounds to .003.
    {"DateTimeRounds", "datetime", "'2024-02-29 13:45:30.002'", Read::Text,
     "2024-02-29 13:45:30.003", SQL_TYPE_TIMESTAMP, 23, 3},
    {"DateTimeDateOnly", "datetime", "'2024-02-29'", Read::Text, "2024-02-29 00:00:00.000",
     SQL_TYPE_TIMESTAMP, 23, 3},
    // smalldatetime keeps minutes, rounding 30 s and more up.
    {"SmallDateTime", "smalldatetime", "'2024-02-29 13:45:31'", Read::Text, "2024-02-29 13:46:00",
     SQL_TYPE_TIMESTAMP, 16, 0},
    {"DateTime2", "datetime2", "'2024-02-29 13:45:30.1234567'", Read::Text,
     "2024-02-29 13:45:30.1234567", SQL_TYPE_TIMESTAMP, 27, 7},
    // Before datetime's 1753, and rounded to its own scale, not to 1/300 s.
    {"DateTime2BeforeDateTimesRange", "datetime2(0)", "'1000-06-15 08:00:00'", Read::Text,
     "1000-06-15 08:00:00", SQL_TYPE_TIMESTAMP, 19, 0},
    {"DateTime2RoundsToItsScale", "datetime2(2)", "'2024-02-29 13:45:30.125'", Read::Text,
     "2024-02-29 13:45:30.13", SQL_TYPE_TIMESTAMP, 22, 2},
    {"Date", "date", "'2024-02-29'", Read::Text, "2024-02-29", SQL_TYPE_DATE, 10},
    {"Time", "time", "'13:45:30.1234567'", Read::Text, "13:45:30.1234567", kSqlSsTime2, 16, 7},
    {"Money", "money", "12.34", Read::Text, "12.3400", SQL_DECIMAL, 19, 4},
    {"MoneyMin", "money", "-922337203685477.5808", Read::Text, "-922337203685477.5808", SQL_DECIMAL,
     19, 4},
    {"SmallMoney", "smallmoney", "-214748.3648", Read::Text, "-214748.3648", SQL_DECIMAL, 10, 4},
    {"Decimal", "decimal(10,3)", "-1234.5", Read::Text, "-1234.500", SQL_NUMERIC, 10, 3},
    {"Numeric", "numeric(18,0)", "123456789012345678", Read::Text, "123456789012345678",
     SQL_NUMERIC, 18, 0},
    {"NumericRoundsToScale", "numeric(5,2)", "1.005", Read::Text, "1.01", SQL_NUMERIC, 5, 2},
    {"Float", "float", "0.1", Read::Double, "0.1", SQL_DOUBLE, 53},
    {"Real", "real", "0.25", Read::Double, "0.25", SQL_REAL, 24},
    {"UniqueIdentifier", "uniqueidentifier", "'6f9619ff-8b86-d011-b42d-00c04fc964ff'", Read::Text,
     "6F9619FF-8B86-D011-B42D-00C04FC964FF", SQL_GUID, 36},
    {"BinaryIsZeroPadded", "binary(4)", "0x0102", Read::Hex, "01020000", SQL_BINARY},
    {"VarBinary", "varbinary(8)", "0xDEADBEEF", Read::Hex, "DEADBEEF", SQL_VARBINARY},
    {"VarBinaryMax", "varbinary(max)", "0x00FF00FF", Read::Hex, "00FF00FF", SQL_VARBINARY, 0},
    {"ImageLong", "image", "0x" + std::string(20000, 'A'), Read::Hex, std::string(20000, 'A'),
     SQL_LONGVARBINARY},
    {"Image", "image", "0x89504E470D0A1A0A", Read::Hex, "89504E470D0A1A0A", SQL_LONGVARBINARY},
};

class TypesTest : public ::testing::TestWithParam<TypeCase> {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<StandinServer>();
    OdbcTestConnection(server_->port()).Exec("CREATE DATABASE TypesTest");
  }
  static void TearDownTestSuite() { server_.reset(); }
  static OdbcTestConnection Connect() {
    return OdbcTestConnection(server_->port(), {"sa", "", "TypesTest"});
  }

 private:
  static inline std::unique_ptr<StandinServer> server_;
};

TEST_P(TypesTest, RoundTripsWithNullAndReportsItsSqlType) {
  const TypeCase& c = GetParam();
  OdbcTestConnection connection = Connect();
  const std::string table = std::string("t_") + c.name;
  connection.Exec("CREATE TABLE " + table + " (id int NOT NULL, v " + c.declared + " NULL)");
  connection.Exec("INSERT INTO " + table + " (id, v) VALUES (1, " + c.literal + "), (2, NULL)");

  OdbcStatement statement = connection.Statement();
  statement.ExecDirect("SELECT v FROM " + table + " ORDER BY id");
  const std::vector<ColumnInfo> columns = statement.Columns();
  ASSERT_EQ(columns.size(), 1u);
  EXPECT_EQ(columns[0].name, "v");
  EXPECT_EQ(columns[0].sql_type, c.sql_type);
  if (c.size != kUnchecked) {
    EXPECT_EQ(static_cast<long>(columns[0].size), c.size);
  }
  if (c.digits != kUnchecked) {
    EXPECT_EQ(columns[0].decimal_digits, c.digits);
  }
  EXPECT_TRUE(columns[0].nullable);

  ASSERT_TRUE(statement.Fetch());
  switch (c.read) {
    case Read::Text:
      EXPECT_EQ(statement.Text(1), c.expected);
      break;
    case Read::Double:
      EXPECT_EQ(statement.Double(1), std::stod(c.expected));
      break;
    case Read::Hex: {
      const auto bytes = statement.Binary(1);
      ASSERT_TRUE(bytes.has_value());
      EXPECT_EQ(Hex(*bytes), c.expected);
      break;
    }
  }
  ASSERT_TRUE(statement.Fetch());
  EXPECT_EQ(statement.Text(1), std::nullopt);
  EXPECT_FALSE(statement.Fetch());
}

INSTANTIATE_TEST_SUITE_P(Types, TypesTest, ::testing::ValuesIn(kTypes),
                         [](const auto& info) { return std::string(info.param.name); });

// A NOT NULL column is reported as such, so the program can tell them apart.
TEST_F(TypesTest, NotNullColumnIsReportedNotNullable) {
  OdbcTestConnection connection = Connect();
  connection.Exec("CREATE TABLE nn (id int NOT NULL, v varchar(5) NULL)");
  OdbcStatement statement = connection.Statement();
  statement.ExecDirect("SELECT id, v FROM nn");
  const std::vector<ColumnInfo> columns = statement.Columns();
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_FALSE(columns[0].nullable);
  EXPECT_TRUE(columns[1].nullable);
}

}  // namespace
}  // namespace standin_test
