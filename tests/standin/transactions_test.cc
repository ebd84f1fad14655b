// Transactions as the program makes them: the driver's manual-commit mode
// (SQLEndTran) and explicit BEGIN/COMMIT/ROLLBACK in batches.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "odbc_test_connection.h"
#include "standin_server.h"

namespace standin_test {
namespace {

class TransactionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OdbcTestConnection connection(server_.port());
    connection.Exec("CREATE DATABASE Tx");
    connection.Exec("USE Tx");
    connection.Exec("CREATE TABLE Flags (id int NOT NULL PRIMARY KEY, available bit)");
    connection.Exec("INSERT INTO Flags VALUES (1, 0), (2, 0)");
  }
  std::unique_ptr<OdbcTestConnection> Connect() {
    return std::make_unique<OdbcTestConnection>(server_.port(), Login{"sa", "", "Tx"});
  }

  StandinServer server_;
};

TEST_F(TransactionsTest, ManualCommitModeRollsBackAndCommits) {
  auto connection = Connect();
  connection->SetAutocommit(false);
  connection->Exec("UPDATE Flags SET available = 1 WHERE id = 1");
  EXPECT_EQ(connection->Scalar("SELECT @@TRANCOUNT"), "1");
  connection->Rollback();
  EXPECT_EQ(connection->Scalar("SELECT available FROM Flags WHERE id = 1"), "0");

  connection->Exec("UPDATE Flags SET available = 1 WHERE id = 2");
  connection->Commit();
  connection->SetAutocommit(true);
  EXPECT_EQ(connection->Scalar("SELECT @@TRANCOUNT"), "0");
  auto other = Connect();
  EXPECT_EQ(other->Scalar("SELECT available FROM Flags WHERE id = 2"), "1");
}

TEST_F(TransactionsTest, ExplicitTransactionNestsCountAndRollsBackWhole) {
  auto connection = Connect();
  connection->Exec("BEGIN TRANSACTION");
  connection->Exec("UPDATE Flags SET available = 1 WHERE id = 1");
  connection->Exec("BEGIN TRANSACTION");
  EXPECT_EQ(connection->Scalar("SELECT @@TRANCOUNT"), "2");
  connection->Exec("UPDATE Flags SET available = 1 WHERE id = 2");
  connection->Exec("COMMIT TRANSACTION");
  EXPECT_EQ(connection->Scalar("SELECT @@TRANCOUNT"), "1");
  connection->Exec("ROLLBACK TRANSACTION");
  EXPECT_EQ(connection->Scalar("SELECT @@TRANCOUNT"), "0");
  EXPECT_EQ(connection->Scalar("SELECT COUNT(*) FROM Flags WHERE available = 1"), "0");
}

TEST_F(TransactionsTest, CommitWithoutTransactionFails) {
  auto connection = Connect();
  try {
    connection->Exec("COMMIT TRANSACTION");
    FAIL() << "COMMIT without BEGIN was accepted";
  } catch (const OdbcError& error) {
    EXPECT_EQ(error.native(), 3902) << error.what();
    EXPECT_THAT(error.message(),
                ::testing::HasSubstr(
                    "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."));
  }
}

TEST_F(TransactionsTest, DisconnectingRollsBackAnOpenTransaction) {
  {
    auto connection = Connect();
    connection->Exec("BEGIN TRANSACTION");
    connection->Exec("UPDATE Flags SET available = 1 WHERE id = 1");
  }
  auto other = Connect();
  other->Exec("SET LOCK_TIMEOUT 5000");
  EXPECT_EQ(other->Scalar("SELECT available FROM Flags WHERE id = 1"), "0");
}

}  // namespace
}  // namespace standin_test
