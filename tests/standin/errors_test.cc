// The errors the program and its operators see: SQL Server's numbers,
// severities and texts, through the driver and through tsql.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "odbc_test_connection.h"
#include "standin_server.h"
#include "tsql_runner.h"

namespace standin_test {
namespace {

using ::testing::HasSubstr;

struct ErrorCase {
  const char* name;
  std::vector<std::string> setup;
  std::string statement;
  int native;
  int severity;
  std::string message;  // the text, or its start when it names generated things
  bool terminated;      // 3621 "The statement has been terminated." follows
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const ErrorCase& c, std::ostream* os) {
  *os << c.name;
}

const std::string kLongGlobalTemp = "##" + std::string(127, 'g');  // 129 characters
const std::string kLongLocalTemp = "#" + std::string(116, 'l');    // 117 characters

const ErrorCase kErrors[] = {
    {"SyntaxError",
     {},
     "SELECT 1 + FROM",
     156,
     15,
     "Incorrect syntax near the keyword 'FROM'.",
     false},
    {"SyntaxErrorAtEnd", {}, "SELECT 1 +", 102, 15, "Incorrect syntax near '+'.", false},
    {"TrailingCommaInTable",
     {},
     "CREATE TABLE e_syntax (a int,)",
     102,
     15,
     "Incorrect syntax near ')'.",
     false},
    {"InvalidColumn",
     {"CREATE TABLE e_cols (a int)"},
     "SELECT nosuchcol FROM e_cols",
     207,
     16,
     "Invalid column name 'nosuchcol'.",
     false},
    {"InvalidObject",
     {},
     "SELECT * FROM nosuchtable",
     208,
     16,
     "Invalid object name 'nosuchtable'.",
     false},
    {"ObjectExists",
     {"CREATE TABLE e_dup (a int)"},
     "CREATE TABLE e_dup (b int)",
     2714,
     16,
     "There is already an object named 'e_dup' in the database.",
     false},
    {"DropMissingTable",
     {},
     "DROP TABLE nosuchtable",
     3701,
     11,
     "Cannot drop the table 'nosuchtable', because it does not exist or you do not have "
     "permission.",
     false},
    {"UseMissingDatabase",
     {},
     "USE nosuchdb",
     911,
     16,
     "Database 'nosuchdb' does not exist. Make sure that the name is entered correctly.",
     false},
    {"DatabaseExists",
     {},
     "CREATE DATABASE ErrorsTest",
     1801,
     16,
     "Database 'ErrorsTest' already exists. Choose a different database name.",
     false},
    {"NullIntoNotNull",
     {"CREATE TABLE e_nn (id int NOT NULL, v int)"},
     "INSERT INTO e_nn (v) VALUES (1)",
     515,
     16,
     "Cannot insert the value NULL into column 'id', table 'ErrorsTest.dbo.e_nn'; column does "
     "not allow nulls. INSERT fails.",
     true},
    {"DuplicateKey",
     {"CREATE TABLE e_pk (id int NOT NULL PRIMARY KEY)", "INSERT INTO e_pk VALUES (1)"},
     "INSERT INTO e_pk VALUES (1)",
     2627,
     14,
     "Violation of PRIMARY KEY constraint 'PK__e_pk__",
     true},
    {"StringTruncated",
     {"CREATE TABLE e_len (v varchar(3))"},
     "INSERT INTO e_len VALUES ('abcd')",
     8152,
     16,
     "String or binary data would be truncated.",
     true},
    {"BadDate",
     {},
     "SELECT CAST('not a date' AS datetime)",
     241,
     16,
     "Conversion failed when converting date and/or time from character string.",
     false},
    {"BadNumber",
     {},
     "SELECT 1 + 'abc'",
     245,
     16,
     "Conversion failed when converting the varchar value 'abc' to data type int.",
     false},
    {"IdentifierTooLong",
     {},
     "CREATE TABLE " + kLongGlobalTemp + " (a int)",
     103,
     15,
     "The identifier that starts with '" + kLongGlobalTemp.substr(0, 128) +
         "' is too long. Maximum length is 128.",
     false},
    {"TempNameTooLong",
     {},
     "CREATE TABLE " + kLongLocalTemp + " (a int)",
     193,
     15,
     "The object or column name starting with '" + kLongLocalTemp.substr(0, 116) +
         "' is too long. The maximum length is 116 characters.",
     false},
    {"DivideByZeroInQuery",
     {},
     "SELECT 1 / 0",
     8134,
     16,
     "Divide by zero error encountered.",
     false},
    {"DateOutOfRangeInQuery",
     {},
     "SELECT CAST('13/13/2026' AS datetime)",
     242,
     16,
     "The conversion of a varchar data type to a datetime data type resulted in an out-of-range "
     "value.",
     false},
    {"DivideByZeroInUpdate",
     {"CREATE TABLE e_upd (v int)", "INSERT INTO e_upd VALUES (1)"},
     "UPDATE e_upd SET v = v / 0",
     8134,
     16,
     "Divide by zero error encountered.",
     true},
    {"DivideByZeroInDelete",
     {"CREATE TABLE e_del (v int)", "INSERT INTO e_del VALUES (1)"},
     "DELETE FROM e_del WHERE v / 0 = 1",
     8134,
     16,
     "Divide by zero error encountered.",
     true},
    {"UnknownTableHint",
     {"CREATE TABLE e_hint1 (v int)"},
     "SELECT v FROM e_hint1 WITH (NOLOKC)",
     321,
     15,
     "\"NOLOKC\" is not a recognized table hints option.",
     false},
    {"UnknownTableHintWithoutWith",
     {"CREATE TABLE e_hint2 (v int)"},
     "SELECT v FROM e_hint2 (fastfirstrow)",
     321,
     15,
     "\"fastfirstrow\" is not a recognized table hints option.",
     false},
    {"NoLockOnUpdateTarget",
     {"CREATE TABLE e_hint3 (v int)"},
     "UPDATE e_hint3 WITH (NOLOCK) SET v = 1",
     1065,
     15,
     "The NOLOCK and READUNCOMMITTED lock hints are not allowed for target tables of INSERT, "
     "UPDATE, DELETE or MERGE statements.",
     false},
    {"ReadUncommittedOnDeleteTarget",
     {"CREATE TABLE e_hint4 (v int)"},
     "DELETE FROM e_hint4 WITH (ROWLOCK, READUNCOMMITTED) WHERE v = 1",
     1065,
     15,
     "The NOLOCK and READUNCOMMITTED lock hints are not allowed",
     false},
    {"NoLockOnInsertTarget",
     {"CREATE TABLE e_hint5 (v int)"},
     "INSERT INTO e_hint5 WITH (NOLOCK) (v) VALUES (1)",
     1065,
     15,
     "The NOLOCK and READUNCOMMITTED lock hints are not allowed",
     false},
};

class ErrorsTest : public ::testing::TestWithParam<ErrorCase> {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<StandinServer>();
    OdbcTestConnection(server_->port()).Exec("CREATE DATABASE ErrorsTest");
  }
  static void TearDownTestSuite() { server_.reset(); }
  static int port() { return server_->port(); }

 private:
  static inline std::unique_ptr<StandinServer> server_;
};

TEST_P(ErrorsTest, ReportsSqlServersNumberAndText) {
  const ErrorCase& c = GetParam();
  OdbcTestConnection connection(port(), {"sa", "", "ErrorsTest"});
  for (const std::string& sql : c.setup) connection.Exec(sql);
  try {
    connection.Exec(c.statement);
    FAIL() << "no error from: " << c.statement;
  } catch (const OdbcError& error) {
    EXPECT_EQ(error.native(), c.native) << error.what();
    EXPECT_THAT(error.message(), HasSubstr(c.message)) << error.what();
    EXPECT_EQ(error.Find(3621) != nullptr, c.terminated) << error.what();
  }
  // The error ended the statement, not the session.
  EXPECT_EQ(connection.Scalar("SELECT DB_NAME()"), "ErrorsTest");
}

TEST_P(ErrorsTest, TsqlShowsNumberAndSeverity) {
  const ErrorCase& c = GetParam();
  TsqlResult result = RunTsql(port(), c.setup, {"sa", "", "ErrorsTest"});
  result = RunTsql(port(), {c.statement}, {"sa", "", "ErrorsTest"});
  EXPECT_THAT(result.out + result.err, HasSubstr("Msg " + std::to_string(c.native) + " (severity " +
                                                 std::to_string(c.severity)));
}

INSTANTIATE_TEST_SUITE_P(Errors, ErrorsTest, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.name); });

// Errors inside sp_executesql, as the driver sends a statement with parameters.
TEST_F(ErrorsTest, ParameterizedStatementsReportTheSameErrors) {
  OdbcTestConnection connection(port(), {"sa", "", "ErrorsTest"});
  connection.Exec("CREATE TABLE e_param (id int NOT NULL PRIMARY KEY, name varchar(5))");
  const struct {
    std::string sql;
    std::vector<SqlParam> params;
    int native;
  } cases[] = {
      {"SELECT * FROM nosuchtable WHERE id = ?", {SqlParam::Int(1)}, 208},
      {"SELECT * FROM e_param WHERE id = ?", {SqlParam::VarChar("abc")}, 245},
      {"INSERT INTO e_param VALUES (?, ?)",
       {SqlParam::Null(SQL_INTEGER), SqlParam::VarChar("a")},
       515},
      {"INSERT INTO e_param VALUES (?, ?)", {SqlParam::Int(1), SqlParam::VarChar("toolong")}, 8152},
  };
  for (const auto& c : cases) {
    try {
      connection.Exec(c.sql, c.params);
      ADD_FAILURE() << "no error from: " << c.sql;
    } catch (const OdbcError& error) {
      EXPECT_EQ(error.native(), c.native) << error.what();
    }
  }
}

// Hints SQL Server takes, in both spellings, including the program's
// "(readuncommitted)" on its queries.
TEST_F(ErrorsTest, TableHintsSqlServerAcceptsAreTaken) {
  OdbcTestConnection connection(port(), {"sa", "", "ErrorsTest"});
  connection.Exec("CREATE TABLE e_hinted (v int)");
  connection.Exec("INSERT INTO e_hinted VALUES (1)");
  const std::string accepted[] = {
      "SELECT v FROM e_hinted (readuncommitted) WHERE v = 1",
      "SELECT v FROM e_hinted WITH (NOLOCK)",
      "SELECT h.v FROM e_hinted h WITH (UPDLOCK, ROWLOCK)",
      "SELECT h.v FROM e_hinted AS h (HOLDLOCK)",
      "SELECT v FROM e_hinted WITH (INDEX(0), READPAST)",
      "SELECT v FROM e_hinted WITH (TABLOCK HOLDLOCK)",
      "UPDATE e_hinted WITH (ROWLOCK) SET v = v",
      "UPDATE e_hinted WITH (UPDLOCK, HOLDLOCK) SET v = v WHERE v = 1",
      "INSERT INTO e_hinted WITH (TABLOCK) (v) VALUES (2)",
      "DELETE FROM e_hinted WITH (ROWLOCK) WHERE v = 2",
  };
  for (const std::string& sql : accepted) {
    try {
      connection.Exec(sql);
    } catch (const OdbcError& error) {
      ADD_FAILURE() << sql << ": " << error.what();
    }
  }
  EXPECT_EQ(connection.Scalar("SELECT COUNT(*) FROM e_hinted"), "1");
}

TEST_F(ErrorsTest, LineNumberCountsFromTheBatchStart) {
  const TsqlResult result =
      RunTsql(port(), {"SELECT 1\nSELECT 2\nSELECT * FROM nosuchtable"}, {"sa", "", "ErrorsTest"});
  EXPECT_THAT(result.out + result.err, HasSubstr("Msg 208 (severity 16, state 1)"));
  EXPECT_THAT(result.out + result.err, HasSubstr("Line 3"));
}

TEST_F(ErrorsTest, ErrorInOneStatementDoesNotUndoTheEarlierOnes) {
  OdbcTestConnection connection(port(), {"sa", "", "ErrorsTest"});
  connection.Exec("CREATE TABLE e_partial (id int NOT NULL PRIMARY KEY)");
  EXPECT_THROW(connection.Exec("INSERT INTO e_partial VALUES (1)\n"
                               "INSERT INTO e_partial VALUES (1)\n"
                               "INSERT INTO e_partial VALUES (2)"),
               OdbcError);
  // A constraint violation ends only its statement: SQL Server runs on.
  EXPECT_EQ(connection.Scalar("SELECT COUNT(*) FROM e_partial"), "2");
}

}  // namespace
}  // namespace standin_test
