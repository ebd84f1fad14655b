// What one request can carry: several statements and result sets, row
// counts, messages, and the identity value an INSERT produced.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "odbc_test_connection.h"
#include "standin_server.h"

namespace standin_test {
namespace {

class BatchesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<StandinServer>();
    OdbcTestConnection connection(server_->port());
    connection.Exec("CREATE DATABASE Batches");
  }
  static void TearDownTestSuite() { server_.reset(); }
  static OdbcTestConnection Connect() {
    return OdbcTestConnection(server_->port(), {"sa", "", "Batches"});
  }

 private:
  static inline std::unique_ptr<StandinServer> server_;
};

TEST_F(BatchesTest, SeveralResultSetsComeInOrder) {
  OdbcTestConnection connection = Connect();
  OdbcStatement statement = connection.Statement();
  statement.ExecDirect("SELECT 1 AS a\nSELECT 'x' AS b, 'y' AS c UNION ALL SELECT 'z', NULL");
  const std::vector<ResultSet> results = statement.AllResults();
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].rows, (std::vector<Row>{{"1"}}));
  EXPECT_EQ(results[1].columns.size(), 2u);
  EXPECT_EQ(results[1].rows, (std::vector<Row>{{"x", "y"}, {"z", std::nullopt}}));
}

TEST_F(BatchesTest, RowCountsFollowEachStatement) {
  OdbcTestConnection connection = Connect();
  connection.Exec("CREATE TABLE counted (id int)");
  OdbcStatement statement = connection.Statement();
  statement.ExecDirect("INSERT INTO counted VALUES (1), (2), (3)");
  EXPECT_EQ(statement.RowCount(), 3);
  statement.ExecDirect("UPDATE counted SET id = id + 10 WHERE id > 1");
  EXPECT_EQ(statement.RowCount(), 2);
  statement.ExecDirect("DELETE FROM counted WHERE id = 99");
  EXPECT_EQ(statement.RowCount(), 0);
  EXPECT_EQ(connection.Scalar("UPDATE counted SET id = id WHERE id > 10\nSELECT @@ROWCOUNT"), "2");
}

TEST_F(BatchesTest, NoCountHidesCountsButNotResults) {
  OdbcTestConnection connection = Connect();
  connection.Exec("CREATE TABLE quiet (id int)");
  EXPECT_EQ(connection.Scalar("SET NOCOUNT ON\nINSERT INTO quiet VALUES (1)\n"
                              "SELECT COUNT(*) FROM quiet"),
            "1");
}

TEST_F(BatchesTest, IdentityOfTheLastInsert) {
  OdbcTestConnection connection = Connect();
  connection.Exec("CREATE TABLE keyed (k bigint IDENTITY(1,1) NOT NULL PRIMARY KEY, v int)");
  connection.Exec("INSERT INTO keyed (v) VALUES (10), (20)");
  const ResultSet result = connection.Query(
      "INSERT INTO keyed (v) VALUES (30)\nSELECT SCOPE_IDENTITY() AS k, @@IDENTITY AS i");
  ASSERT_EQ(result.rows.size(), 1u);
  EXPECT_EQ(result.rows[0], (Row{"3", "3"}));
  // SQL Server types both as numeric(38,0).
  EXPECT_EQ(result.columns[0].sql_type, SQL_NUMERIC);
  EXPECT_EQ(result.columns[0].size, 38u);
}

TEST_F(BatchesTest, PrintArrivesAsInformation) {
  OdbcTestConnection connection = Connect();
  OdbcStatement statement = connection.Statement();
  statement.ExecDirect("PRINT 'synchronised 3 locations'");
  const std::vector<Diagnostic> messages = ReadDiagnostics(SQL_HANDLE_STMT, statement.handle());
  ASSERT_FALSE(messages.empty());
  EXPECT_THAT(messages[0].message, ::testing::HasSubstr("synchronised 3 locations"));
  EXPECT_EQ(messages[0].native, 0);
}

TEST_F(BatchesTest, UseChangesTheDatabaseForLaterRequests) {
  OdbcTestConnection connection = Connect();
  connection.Exec("USE master");
  EXPECT_EQ(connection.Scalar("SELECT DB_NAME()"), "master");
  connection.Exec("USE Batches");
  EXPECT_EQ(connection.Scalar("SELECT DB_NAME()"), "Batches");
}

TEST_F(BatchesTest, ManyRowsAndLongValuesSpanPackets) {
  OdbcTestConnection connection = Connect();
  connection.Exec("CREATE TABLE wide (id int NOT NULL PRIMARY KEY, v varchar(2000))");
  OdbcStatement insert = connection.Statement();
  insert.Prepare("INSERT INTO wide VALUES (?, ?)");
  for (int i = 0; i < 300; ++i) {
    insert.Execute({SqlParam::Int(i), SqlParam::VarChar(std::string(1500, 'a' + i % 26))});
  }
  const ResultSet result = connection.Query("SELECT id, v FROM wide ORDER BY id");
  ASSERT_EQ(result.rows.size(), 300u);
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(result.rows[i][1], std::string(1500, 'a' + i % 26)) << i;
  }
}

}  // namespace
}  // namespace standin_test
