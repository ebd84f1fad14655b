// Stopping and restarting the stand-in: SIGTERM ends it cleanly whatever its
// sessions are doing, and a restart finds committed work and nothing else.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>

#include "odbc_test_connection.h"
#include "standin_server.h"

namespace standin_test {
namespace {

using namespace std::chrono_literals;

class RestartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OdbcTestConnection connection(server_.port());
    connection.Exec("CREATE DATABASE Durable");
    connection.Exec("USE Durable");
    connection.Exec("CREATE TABLE Kept (id int NOT NULL PRIMARY KEY, v varchar(10))");
    connection.Exec("INSERT INTO Kept VALUES (1, 'Zoë')");
  }
  std::unique_ptr<OdbcTestConnection> Connect() {
    return std::make_unique<OdbcTestConnection>(server_.port(), Login{"sa", "", "Durable"});
  }

  StandinServer server_;
};

TEST_F(RestartTest, KeepsCommittedWorkOnly) {
  auto committed = Connect();
  committed->Exec("INSERT INTO Kept VALUES (2, 'José')");
  auto uncommitted = Connect();
  uncommitted->Exec("BEGIN TRANSACTION");
  uncommitted->Exec("INSERT INTO Kept VALUES (3, 'lost')");
  auto temporary = Connect();
  temporary->Exec("CREATE TABLE ##scratch (id int)");

  EXPECT_EQ(server_.stop(), 0);
  server_.restart();

  auto connection = Connect();
  EXPECT_EQ(connection->Query("SELECT id, v FROM Kept ORDER BY id").rows,
            (std::vector<Row>{{"1", "Zoë"}, {"2", "José"}}));
  try {
    connection->Exec("SELECT * FROM ##scratch");
    ADD_FAILURE() << "##scratch outlived the server";
  } catch (const OdbcError& error) {
    EXPECT_EQ(error.native(), 208) << error.what();
  }
}

TEST_F(RestartTest, StopsCleanlyWhileARequestRuns) {
  auto busy = Connect();
  busy->Exec("CREATE TABLE Spin (n int)");
  busy->Exec("INSERT INTO Spin VALUES (1), (2), (3), (4), (5), (6), (7), (8), (9), (10)");
  OdbcStatement statement = busy->Statement();
  auto outcome = std::async(std::launch::async, [&statement] {
    try {
      statement.ExecDirect(
          "SELECT COUNT(*) FROM Spin a, Spin b, Spin c, Spin d, Spin e, Spin f, Spin g, Spin h, "
          "Spin i, Spin j, Spin k, Spin l");
      statement.AllResults();
      return false;
    } catch (const OdbcError&) {
      return true;
    }
  });
  ASSERT_EQ(outcome.wait_for(300ms), std::future_status::timeout);
  EXPECT_EQ(server_.stop(), 0);
  ASSERT_EQ(outcome.wait_for(30s), std::future_status::ready);
  EXPECT_TRUE(outcome.get()) << "the request ended without an error";
}

}  // namespace
}  // namespace standin_test
