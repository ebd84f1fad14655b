// The fault file: a session ended at a chosen request as a DBA's KILL ends
// it, or the whole server stopped there; counted across sessions, armed
// again without a restart, and the chosen request never run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "odbc_test_connection.h"
#include "standin_server.h"

namespace standin_test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

class FaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OdbcTestConnection setup(server_.port());
    setup.Exec("CREATE DATABASE Faults");
    setup.Exec("USE Faults");
    setup.Exec("CREATE TABLE Marks (n int NOT NULL PRIMARY KEY)");
  }

  std::unique_ptr<OdbcTestConnection> Connect() {
    return std::make_unique<OdbcTestConnection>(server_.port(), Login{"sa", "", "Faults"});
  }

  static std::string Insert(int n) {
    return "INSERT INTO Marks VALUES (" + std::to_string(n) + ")";
  }

  // "ran", "dropped" when the connection is gone (the driver reports the end
  // of the stream, 20017, or a communication link failure, 08S01), or the
  // error otherwise.
  static std::string Outcome(OdbcTestConnection& connection, const std::string& sql) {
    try {
      connection.Exec(sql);
      return "ran";
    } catch (const OdbcError& error) {
      for (const Diagnostic& d : error.diagnostics()) {
        if (d.native == 20017 || d.sqlstate == "08S01") return "dropped";
      }
      return error.what();
    }
  }

  std::string Marks() {
    std::string marks;
    for (const Row& row : Connect()->Query("SELECT n FROM Marks ORDER BY n").rows) {
      marks += *row[0] + " ";
    }
    return marks;
  }

  StandinServer server_{StandinOptions{.trace = true, .faults = true}};
};

TEST_F(FaultsTest, KillEndsTheSessionAtTheChosenRequestWithoutRunningIt) {
  auto victim = Connect();
  server_.killAtRequest(3);
  EXPECT_EQ(Outcome(*victim, Insert(1)), "ran");
  EXPECT_EQ(Outcome(*victim, Insert(2)), "ran");
  EXPECT_EQ(Outcome(*victim, Insert(3)), "dropped");
  EXPECT_EQ(Outcome(*victim, Insert(4)), "dropped") << "the session outlived its end";
  EXPECT_EQ(Marks(), "1 2 ");
  EXPECT_THAT(server_.traceLines(), Not(Contains(HasSubstr(Insert(3)))));
}

TEST_F(FaultsTest, RequestsCountAcrossSessionsAndOnlyTheChosenOneEnds) {
  auto first = Connect();
  auto second = Connect();
  server_.killAtRequest(2);
  EXPECT_EQ(Outcome(*first, Insert(1)), "ran");
  EXPECT_EQ(Outcome(*second, Insert(2)), "dropped");
  EXPECT_EQ(Outcome(*first, Insert(3)), "ran");
  EXPECT_EQ(Marks(), "1 3 ");
}

TEST_F(FaultsTest, TheEndedSessionsTransactionIsRolledBackAndItsLocksGo) {
  auto victim = Connect();
  victim->Exec("BEGIN TRANSACTION");
  victim->Exec(Insert(1));
  server_.killAtRequest(1);
  EXPECT_EQ(Outcome(*victim, "COMMIT"), "dropped");
  auto other = Connect();
  other->Exec("SET LOCK_TIMEOUT 10000");
  EXPECT_EQ(Outcome(*other, Insert(1)), "ran") << "the ended session's insert or lock stayed";
  EXPECT_EQ(Marks(), "1 ");
}

TEST_F(FaultsTest, WritingTheFileAgainArmsItAgainAndReplacesTheCount) {
  auto first = Connect();
  server_.killAtRequest(1);
  EXPECT_EQ(Outcome(*first, Insert(1)), "dropped");

  auto second = Connect();
  server_.killAtRequest(5);
  server_.killAtRequest(2);
  EXPECT_EQ(Outcome(*second, Insert(2)), "ran");
  EXPECT_EQ(Outcome(*second, Insert(3)), "dropped");

  // Fired once, it stays quiet.
  auto third = Connect();
  for (int n = 10; n < 20; ++n) EXPECT_EQ(Outcome(*third, Insert(n)), "ran") << n;
  EXPECT_EQ(Marks(), "2 10 11 12 13 14 15 16 17 18 19 ");
}

TEST_F(FaultsTest, StopEndsTheServerAtTheChosenRequestAndARestartKeepsWhatRanBefore) {
  auto victim = Connect();
  const int port = server_.port();
  server_.stopAtRequest(2);
  EXPECT_EQ(Outcome(*victim, Insert(1)), "ran");
  EXPECT_EQ(Outcome(*victim, Insert(2)), "dropped");
  EXPECT_THROW(Connect(), OdbcError);
  EXPECT_EQ(server_.stop(), 0);

  server_.restartOnSamePort();
  EXPECT_EQ(server_.port(), port);
  EXPECT_EQ(Marks(), "1 ");
}

}  // namespace
}  // namespace standin_test
