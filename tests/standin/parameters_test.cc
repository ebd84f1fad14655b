// Typed parameters as the driver sends them: through sp_executesql for a
// direct execution, through sp_prepare/sp_prepexec and sp_execute for a
// prepared statement run several times.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>

#include "odbc_test_connection.h"
#include "standin_server.h"

namespace standin_test {
namespace {

using ::testing::HasSubstr;

class ParametersTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<StandinServer>(StandinOptions{.trace = true});
    OdbcTestConnection(server_->port()).Exec("CREATE DATABASE ParamTest");
  }
  static void TearDownTestSuite() { server_.reset(); }
  static OdbcTestConnection Connect() {
    return OdbcTestConnection(server_->port(), {"sa", "", "ParamTest"});
  }
  static std::vector<std::string> TraceLinesWith(std::string_view text) {
    std::vector<std::string> lines;
    for (const std::string& line : server_->traceLines()) {
      if (line.find(text) != std::string::npos) lines.push_back(line);
    }
    return lines;
  }

 private:
  static inline std::unique_ptr<StandinServer> server_;
};

struct ParamCase {
  const char* name;
  const char* column_type;
  SqlParam value;
  Cell expected;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const ParamCase& c, std::ostream* os) {
  *os << c.name;
}

class TypedParameterTest : public ParametersTest,
                           public ::testing::WithParamInterface<ParamCase> {};

TEST_P(TypedParameterTest, IsStoredAndMatchedByValue) {
  const ParamCase& c = GetParam();
  OdbcTestConnection connection = Connect();
  const std::string table = std::string("p_") + c.name;
  connection.Exec("CREATE TABLE " + table + " (id int NOT NULL, v " + c.column_type + " NULL)");
  connection.Exec("INSERT INTO " + table + " (id, v) VALUES (?, ?)", {SqlParam::Int(7), c.value});
  EXPECT_EQ(connection.Scalar("SELECT v FROM " + table + " WHERE id = ?", {SqlParam::Int(7)}),
            c.expected);
  if (c.expected) {
    // The same value as a parameter finds the row again.
    EXPECT_EQ(connection.Scalar("SELECT COUNT(*) FROM " + table + " WHERE v = ?", {c.value}), "1");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, TypedParameterTest,
    ::testing::Values(
        ParamCase{"Int", "int", SqlParam::Int(-42), "-42"},
        ParamCase{"BigInt", "bigint", SqlParam::BigInt(9007199254740993), "9007199254740993"},
        ParamCase{"Bit", "bit", SqlParam::Bit(true), "1"},
        ParamCase{"Float", "float", SqlParam::Float(2.5), "2.5"},
        ParamCase{"VarCharLatin1", "varchar(20)", SqlParam::VarChar("Zoë José"), "Zoë José"},
        ParamCase{"VarCharWithQuote", "varchar(20)", SqlParam::VarChar("O'Brien"), "O'Brien"},
        ParamCase{"NVarChar", "nvarchar(20)", SqlParam::NVarChar("Zoë Ωμέγα"), "Zoë Ωμέγα"},
        ParamCase{"NVarCharIntoVarChar", "varchar(20)", SqlParam::NVarChar("Zoë"), "Zoë"},
        ParamCase{"DecimalIntoMoney", "money", SqlParam::Decimal("-12.34", 10, 2), "-12.3400"},
        ParamCase{"Decimal", "decimal(12,4)", SqlParam::Decimal("12345678.1234", 12, 4),
                  "12345678.1234"},
        ParamCase{"TimestampIntoDateTime", "datetime",
                  SqlParam::Timestamp("2025-12-31 23:59:59.997"), "2025-12-31 23:59:59.997"},
        // Before 1753 but after 1600-02-29: the FreeTDS driver miscounts the days of
        // earlier timestamps (integer division of negative years) before sending them.
        ParamCase{"TimestampIntoDateTime2BeforeDateTimesRange", "datetime2(3)",
                  SqlParam::Timestamp("1700-02-28 10:20:30.456"), "1700-02-28 10:20:30.456"},
        ParamCase{"TextIntoDateTime", "datetime", SqlParam::VarChar("2025-06-01 08:30:00"),
                  "2025-06-01 08:30:00.000"},
        ParamCase{"TextIntoInt", "int", SqlParam::VarChar("17"), "17"},
        ParamCase{"VarBinary", "varbinary(8)", SqlParam::VarBinary({0xDE, 0xAD, 0x00, 0x01}),
                  "dead0001"},
        ParamCase{"NullInt", "int", SqlParam::Null(SQL_INTEGER), std::nullopt},
        ParamCase{"NullVarChar", "varchar(10)", SqlParam::Null(SQL_VARCHAR), std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ParametersTest, DirectExecutionWithParametersGoesThroughSpExecuteSql) {
  OdbcTestConnection connection = Connect();
  EXPECT_EQ(connection.Scalar("SELECT ? + 1 AS next_value", {SqlParam::Int(41)}), "42");
  const auto lines = TraceLinesWith("rpc sp_executesql:");
  ASSERT_FALSE(lines.empty());
  EXPECT_THAT(lines.back(), HasSubstr("SELECT @P1 + 1 AS next_value"));
  EXPECT_THAT(lines.back(), HasSubstr("=41"));
}

// sp_executesql reads its first two arguments by position, however a caller
// names them; only the statement's own parameters go by name.
TEST_F(ParametersTest, SpExecuteSqlTakesStatementAndDeclarationByPosition) {
  OdbcTestConnection connection = Connect();
  const struct {
    const char* how;
    std::string sql;
    std::vector<SqlParam> params;
  } calls[] = {
      {"EXEC, no names", "EXEC sp_executesql N'SELECT @a + 1', N'@a int', 41", {}},
      {"EXEC, @stmt and @params",
       "EXEC sp_executesql @stmt = N'SELECT @a + 1', @params = N'@a int', @a = 41",
       {}},
      {"EXEC, @statement and @params",
       "EXEC sp_executesql @statement = N'SELECT @a + 1', @params = N'@a int', @a = 41",
       {}},
      {"EXEC, the statement's own @stmt",
       "EXEC sp_executesql N'SELECT @stmt + 1', N'@stmt int', @stmt = 41",
       {}},
      {"RPC by name",
       "{call sp_executesql(?, ?, ?)}",
       {SqlParam::NVarChar("SELECT @a + 1"), SqlParam::NVarChar("@a int"), SqlParam::Int(41)}},
  };
  for (const auto& c : calls) {
    EXPECT_EQ(connection.Scalar(c.sql, c.params), "42") << c.how;
  }
}

TEST_F(ParametersTest, PreparedQueryRunsAgainWithNewValues) {
  OdbcTestConnection connection = Connect();
  connection.Exec("CREATE TABLE lookup (k int NOT NULL PRIMARY KEY, name varchar(20))");
  connection.Exec("INSERT INTO lookup VALUES (1, 'one'), (2, 'two'), (3, 'Zoë')");
  const std::size_t prepexec_before = TraceLinesWith("rpc sp_prepexec:").size();
  const std::size_t prepare_before = TraceLinesWith("rpc sp_prepare:").size();
  const std::size_t execute_before = TraceLinesWith("rpc sp_execute:").size();

  OdbcStatement statement = connection.Statement();
  statement.Prepare("SELECT name FROM lookup WHERE k = ?");
  for (const auto& [key, name] : {std::pair{3, "Zoë"}, {1, "one"}, {2, "two"}}) {
    statement.Execute({SqlParam::Int(key)});
    ASSERT_TRUE(statement.Fetch());
    EXPECT_EQ(statement.Text(1), name);
    EXPECT_FALSE(statement.Fetch());
  }

  // One preparation (sp_prepare, or sp_prepexec which also runs it), three runs in all.
  const auto prepexec = TraceLinesWith("rpc sp_prepexec:").size() - prepexec_before;
  const auto prepare = TraceLinesWith("rpc sp_prepare:").size() - prepare_before;
  const auto execute = TraceLinesWith("rpc sp_execute:").size() - execute_before;
  std::string trace;
  for (const std::string& line : TraceLinesWith(" rpc ")) trace += line + "\n";
  EXPECT_EQ(prepexec + prepare, 1u) << trace;
  EXPECT_EQ(prepexec + execute, 3u) << trace;
}

TEST_F(ParametersTest, PreparedInsertRunsManyTimes) {
  OdbcTestConnection connection = Connect();
  connection.Exec("CREATE TABLE items (id int NOT NULL PRIMARY KEY, descr varchar(45), qty int)");
  OdbcStatement statement = connection.Statement();
  statement.Prepare("INSERT INTO items (id, descr, qty) VALUES (?, ?, ?)");
  for (int i = 1; i <= 20; ++i) {
    statement.Execute({SqlParam::Int(i), SqlParam::VarChar("item " + std::to_string(i)),
                       i % 5 == 0 ? SqlParam::Null(SQL_INTEGER) : SqlParam::Int(i * 10)});
    EXPECT_EQ(statement.RowCount(), 1);
  }
  const ResultSet result =
      connection.Query("SELECT COUNT(*), SUM(qty), COUNT(qty), MAX(descr) FROM items");
  EXPECT_EQ(result.rows.at(0), (Row{"20", "1600", "16", "item 9"}));
}

TEST_F(ParametersTest, RowCountOfParameterizedUpdate) {
  OdbcTestConnection connection = Connect();
  connection.Exec("CREATE TABLE flags (id int NOT NULL PRIMARY KEY, available bit)");
  connection.Exec("INSERT INTO flags VALUES (1, 0), (2, 0), (3, 1)");
  OdbcStatement statement = connection.Statement();
  statement.ExecDirect("UPDATE flags SET available = ? WHERE available = ?",
                       {SqlParam::Bit(true), SqlParam::Bit(false)});
  EXPECT_EQ(statement.RowCount(), 2);
  EXPECT_EQ(connection.Scalar("SELECT COUNT(*) FROM flags WHERE available = 1"), "3");
}

}  // namespace
}  // namespace standin_test
