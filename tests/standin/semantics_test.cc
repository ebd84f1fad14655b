// Comparison and typing rules of SQL Server's default collation that the
// program relies on without saying so.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "odbc_test_connection.h"
#include "standin_server.h"

namespace standin_test {
namespace {

class SemanticsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<StandinServer>();
    OdbcTestConnection connection(server_->port());
    connection.Exec("CREATE DATABASE Semantics");
    connection.Exec("USE Semantics");
    connection.Exec(
        "CREATE TABLE Inmates (BookNo varchar(15) NOT NULL PRIMARY KEY, "
        "LName varchar(15), FName varchar(15), Code char(5), Qty int)");
    connection.Exec(
        "INSERT INTO Inmates VALUES ('B1', 'Smith', 'Zoë', 'AB', 2), "
        "('b2', 'smith', 'José', 'ab   ', 3), ('B3', 'Brown', 'Ann', 'CD', NULL), "
        "('B4', 'SMITH ', 'zoe', NULL, 5)");
  }
  static void TearDownTestSuite() { server_.reset(); }
  static OdbcTestConnection Connect() {
    return OdbcTestConnection(server_->port(), {"sa", "", "Semantics"});
  }

 private:
  static inline std::unique_ptr<StandinServer> server_;
};

struct ScalarCase {
  const char* name;
  const char* query;
  Cell expected;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const ScalarCase& c, std::ostream* os) {
  *os << c.name;
}

class ScalarTest : public SemanticsTest, public ::testing::WithParamInterface<ScalarCase> {};

TEST_P(ScalarTest, Answers) {
  OdbcTestConnection connection = Connect();
  EXPECT_EQ(connection.Scalar(GetParam().query), GetParam().expected) << GetParam().query;
}

INSTANTIATE_TEST_SUITE_P(
    Collation, ScalarTest,
    ::testing::Values(
        ScalarCase{"EqualityIgnoresCase", "SELECT COUNT(*) FROM Inmates WHERE LName = 'SMITH'",
                   "3"},
        ScalarCase{"EqualityIgnoresTrailingBlanks",
                   "SELECT COUNT(*) FROM Inmates WHERE LName = 'Smith   '", "3"},
        ScalarCase{"AccentsStillCount", "SELECT COUNT(*) FROM Inmates WHERE FName = 'ZOE'", "1"},
        ScalarCase{"AccentedMatchIgnoresCase", "SELECT COUNT(*) FROM Inmates WHERE FName = 'ZOË'",
                   "1"},
        ScalarCase{"CharComparesPadded", "SELECT COUNT(*) FROM Inmates WHERE Code = 'ab'", "2"},
        ScalarCase{"LikeIgnoresCase", "SELECT COUNT(*) FROM Inmates WHERE LName LIKE 'sm%'", "3"},
        ScalarCase{"InIgnoresCase", "SELECT COUNT(*) FROM Inmates WHERE BookNo IN ('b1', 'B2')",
                   "2"},
        ScalarCase{"GroupByFoldsCaseAndBlanks",
                   "SELECT COUNT(*) FROM (SELECT LName FROM Inmates GROUP BY LName) AS g", "2"},
        ScalarCase{"DistinctFoldsCase", "SELECT COUNT(DISTINCT LName) FROM Inmates", "2"},
        ScalarCase{"OrderByIgnoresCase", "SELECT TOP 1 BookNo FROM Inmates ORDER BY BookNo DESC",
                   "B4"},
        ScalarCase{"NamesIgnoreCase", "SELECT COUNT(*) FROM INMATES WHERE lname = 'brown'", "1"},
        ScalarCase{"LenIgnoresTrailingBlanks", "SELECT LEN('abc  ')", "3"},
        ScalarCase{"DataLengthCountsThem", "SELECT DATALENGTH('abc  ')", "5"},
        ScalarCase{"VarcharHoldsOneByteACharacter",
                   "SELECT DATALENGTH(FName) FROM Inmates "
                   "WHERE BookNo = 'B1'",
                   "3"},
        ScalarCase{"NvarcharTwo", "SELECT DATALENGTH(N'Zoë')", "6"},
        ScalarCase{"ConvertedToVarcharCountsBytes",
                   "SELECT DATALENGTH(CONVERT(varchar(10), N'Zoë€'))", "4"},
        ScalarCase{"ConvertCutsAtTheLength", "SELECT CONVERT(varchar(3), N'Zoëlla')", "Zoë"},
        ScalarCase{"LeftOfVarchar", "SELECT LEFT(FName, 3) FROM Inmates WHERE BookNo = 'b2'",
                   "Jos"},
        ScalarCase{"MissingFromTheCodePageBecomesQuestionMark",
                   "SELECT CONVERT(varchar(10), N'Ωmega ☺')", "?mega ?"},
        ScalarCase{"NvarcharKeepsEveryCharacter", "SELECT CONVERT(nvarchar(10), N'Ωmega ☺')",
                   "Ωmega ☺"},
        ScalarCase{"CharColumnIsPadded", "SELECT Code + '|' FROM Inmates WHERE BookNo = 'B1'",
                   "AB   |"},
        ScalarCase{"CountSkipsNulls", "SELECT COUNT(Qty) FROM Inmates", "3"},
        ScalarCase{"SumOfNoRowsIsNull", "SELECT SUM(Qty) FROM Inmates WHERE BookNo = 'none'",
                   std::nullopt},
        ScalarCase{"NullIsNotEqualToNull",
                   "SELECT COUNT(*) FROM Inmates WHERE Code = NULL OR Code <> 'AB'", "1"},
        ScalarCase{"IntegerDivisionTruncates", "SELECT 7 / 2", "3"},
        ScalarCase{"DateTime2TellsHundredNanosecondsApart",
                   "SELECT CASE WHEN CAST('2024-01-01 00:00:00.0000001' AS datetime2) > "
                   "CAST('2024-01-01' AS datetime2) THEN 1 ELSE 0 END",
                   "1"},
        ScalarCase{"DateTimeDoesNot",
                   "SELECT CASE WHEN CAST('2024-01-01 00:00:00.001' AS datetime) > "
                   "CAST('2024-01-01' AS datetime) THEN 1 ELSE 0 END",
                   "0"},
        ScalarCase{"DateTime2ScalesCompareByValue",
                   "SELECT CASE WHEN CAST('2024-01-01 10:00:00.5' AS datetime2(1)) = "
                   "CAST('2024-01-01 10:00:00.5' AS datetime2(7)) THEN 1 ELSE 0 END",
                   "1"},
        ScalarCase{"DateTime2ReachesYearOne",
                   "SELECT CONVERT(varchar(30), CAST('0001-01-01' AS datetime2(0)))",
                   "0001-01-01 00:00:00"},
        ScalarCase{"IsNullSubstitutes", "SELECT ISNULL(Qty, -1) FROM Inmates WHERE BookNo = 'B3'",
                   "-1"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Functions, ScalarTest,
    ::testing::Values(
        ScalarCase{"ConcatWithNullIsNull", "SELECT 'a' + NULL", std::nullopt},
        ScalarCase{"Coalesce", "SELECT COALESCE(NULL, NULL, 'third')", "third"},
        ScalarCase{"TrimAndUpper", "SELECT UPPER(LTRIM(RTRIM('  zoë  ')))", "ZOË"},
        ScalarCase{"Substring", "SELECT SUBSTRING('PR001', 3, 3)", "001"},
        ScalarCase{"CharIndexIgnoresCase", "SELECT CHARINDEX('WING', 'North wing Lockers')", "7"},
        ScalarCase{"Replace", "SELECT REPLACE('O''Brien', '''', '')", "OBrien"},
        ScalarCase{"CaseWhen",
                   "SELECT CASE WHEN COUNT(*) > 3 THEN 'full' ELSE 'free' END FROM Inmates",
                   "full"},
        ScalarCase{"ExistsSubquery",
                   "SELECT CASE WHEN EXISTS (SELECT 1 FROM Inmates WHERE Qty IS NULL) THEN 1 "
                   "ELSE 0 END",
                   "1"},
        ScalarCase{"InSubquery",
                   "SELECT COUNT(*) FROM Inmates WHERE BookNo IN (SELECT BookNo FROM Inmates "
                   "WHERE Qty > 2)",
                   "2"},
        ScalarCase{"ConvertDateStyle101",
                   "SELECT CONVERT(varchar(10), CAST('2024-02-29 13:45:30' AS datetime), 101)",
                   "02/29/2024"},
        ScalarCase{"ConvertTimeStyle108",
                   "SELECT CONVERT(varchar(8), CAST('2024-02-29 13:45:30' AS datetime), 108)",
                   "13:45:30"},
        ScalarCase{"DateAddCrossesLeapDay",
                   "SELECT DATEADD(day, 1, CAST('2024-02-28' AS datetime))",
                   "2024-02-29 00:00:00.000"},
        ScalarCase{"DateDiffDays",
                   "SELECT DATEDIFF(day, CAST('2023-12-31' AS datetime), "
                   "CAST('2024-03-01' AS datetime))",
                   "61"},
        ScalarCase{"CastIntToVarChar", "SELECT CAST(42 AS varchar(5)) + 'x'", "42x"},
        ScalarCase{"CastMoneyToVarChar", "SELECT CAST(CAST(37.5 AS money) AS varchar(20))",
                   "37.50"}),
    [](const auto& info) { return std::string(info.param.name); });

struct TypedResultCase {
  const char* name;
  const char* query;
  SQLSMALLINT sql_type;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const TypedResultCase& c, std::ostream* os) {
  *os << c.name;
}

class ResultTypeTest : public SemanticsTest,
                       public ::testing::WithParamInterface<TypedResultCase> {};

TEST_P(ResultTypeTest, IsReportedAsSqlServerTypesIt) {
  OdbcTestConnection connection = Connect();
  const ResultSet result = connection.Query(GetParam().query);
  ASSERT_EQ(result.columns.size(), 1u);
  EXPECT_EQ(result.columns[0].sql_type, GetParam().sql_type) << GetParam().query;
}

INSTANTIATE_TEST_SUITE_P(
    Typing, ResultTypeTest,
    ::testing::Values(
        TypedResultCase{"CountIsInt", "SELECT COUNT(*) FROM Inmates", SQL_INTEGER},
        TypedResultCase{"CountBigIsBigInt", "SELECT COUNT_BIG(*) FROM Inmates", SQL_BIGINT},
        TypedResultCase{"SumOfIntIsInt", "SELECT SUM(Qty) FROM Inmates", SQL_INTEGER},
        TypedResultCase{"MaxKeepsColumnType", "SELECT MAX(LName) FROM Inmates", SQL_VARCHAR},
        TypedResultCase{"IntegerLiteralIsInt", "SELECT 1", SQL_INTEGER},
        TypedResultCase{"StringLiteralIsVarChar", "SELECT 'x'", SQL_VARCHAR},
        TypedResultCase{"UnicodeLiteralIsNVarChar", "SELECT N'x'", SQL_WVARCHAR},
        TypedResultCase{"GetDateIsDateTime", "SELECT GETDATE()", SQL_TYPE_TIMESTAMP},
        TypedResultCase{"DecimalLiteralIsNumeric", "SELECT 1.5", SQL_NUMERIC},
        TypedResultCase{"IntTimesDecimalIsNumeric", "SELECT Qty * 1.5 FROM Inmates", SQL_NUMERIC}),
    [](const auto& info) { return std::string(info.param.name); });

// A star lists columns as declared; a named column comes back as the query spells it.
TEST_F(SemanticsTest, ColumnNames) {
  OdbcTestConnection connection = Connect();
  const ResultSet star = connection.Query("SELECT * FROM inmates WHERE 1 = 0");
  ASSERT_EQ(star.columns.size(), 5u);
  EXPECT_EQ(star.columns[0].name, "BookNo");
  EXPECT_EQ(star.columns[1].name, "LName");
  const ResultSet named = connection.Query(
      "SELECT bookno, LNAME, COUNT(*) AS Total FROM inmates GROUP BY bookno, LNAME");
  ASSERT_EQ(named.columns.size(), 3u);
  EXPECT_EQ(named.columns[0].name, "bookno");
  EXPECT_EQ(named.columns[1].name, "LNAME");
  EXPECT_EQ(named.columns[2].name, "Total");
}

TEST_F(SemanticsTest, VarcharStoresCodePageBytes) {
  OdbcTestConnection connection = Connect();
  connection.Exec("CREATE TABLE #cp (v varchar(3), n nvarchar(3))");
  // Three characters of code page 1252 are three bytes: they fit.
  connection.Exec("INSERT INTO #cp VALUES (N'Zoë', N'Zoë')");
  EXPECT_THROW(connection.Exec("INSERT INTO #cp VALUES (N'Zoëx', N'Zoë')"), OdbcError);
  connection.Exec("INSERT INTO #cp VALUES (N'Ω€', N'Ω€')");
  const ResultSet stored = connection.Query("SELECT v, n, DATALENGTH(v) FROM #cp");
  ASSERT_EQ(stored.rows.size(), 2u);
  EXPECT_EQ(stored.rows[0], (Row{"Zoë", "Zoë", "3"}));
  EXPECT_EQ(stored.rows[1], (Row{"?€", "Ω€", "2"}));
}

TEST_F(SemanticsTest, PrimaryKeyIgnoresCase) {
  OdbcTestConnection connection = Connect();
  try {
    connection.Exec("INSERT INTO Inmates (BookNo) VALUES ('b3')");
    FAIL() << "'b3' was accepted next to 'B3'";
  } catch (const OdbcError& error) {
    EXPECT_EQ(error.native(), 2627) << error.what();
  }
}

TEST_F(SemanticsTest, ParameterComparesIgnoringCase) {
  OdbcTestConnection connection = Connect();
  EXPECT_EQ(
      connection.Scalar("SELECT BookNo FROM Inmates WHERE FName = ?", {SqlParam::VarChar("JOSÉ")}),
      "b2");
}

}  // namespace
}  // namespace standin_test
