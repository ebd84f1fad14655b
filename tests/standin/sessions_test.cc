// Sessions seeing each other: global temporary tables, KILL, cancelling a
// running request, and waiting for another session's lock.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "odbc_test_connection.h"
#include "standin_server.h"

namespace standin_test {
namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;

// About 3 * 10^11 row combinations: runs far longer than any test waits.
constexpr const char* kEndlessQuery =
    "SELECT COUNT(*) FROM Spin a CROSS JOIN Spin b CROSS JOIN Spin c CROSS JOIN Spin d "
    "CROSS JOIN Spin e";

class SessionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<StandinServer>();
    OdbcTestConnection connection(server_->port());
    connection.Exec("CREATE DATABASE Sessions");
    connection.Exec("USE Sessions");
    connection.Exec("CREATE TABLE Spin (n int)");
    std::string values = "INSERT INTO Spin VALUES (0)";
    for (int i = 1; i < 200; ++i) values += ", (" + std::to_string(i) + ")";
    connection.Exec(values);
  }

  std::unique_ptr<OdbcTestConnection> Connect() {
    return std::make_unique<OdbcTestConnection>(server_->port(), Login{"sa", "", "Sessions"});
  }

  // The native error `sql` fails with, or 0 if it succeeds.
  static int ErrorOf(OdbcTestConnection& connection, const std::string& sql) {
    try {
      connection.Exec(sql);
      return 0;
    } catch (const OdbcError& error) {
      return error.native();
    }
  }

  // Waits (at most 10 s) until `sql` fails with `native` on `connection`; a
  // session's end reaches the server a moment after the client has gone.
  static int EventuallyErrorOf(OdbcTestConnection& connection, const std::string& sql, int native) {
    int got = 0;
    for (auto deadline = std::chrono::steady_clock::now() + 10s;
         std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(20ms)) {
      got = ErrorOf(connection, sql);
      if (got == native) break;
    }
    return got;
  }

  // Runs the endless query on `victim` in another thread; the future holds
  // the error it ended with.
  static std::future<std::string> RunEndlessQuery(OdbcStatement& victim) {
    return std::async(std::launch::async, [&victim] {
      try {
        victim.ExecDirect(kEndlessQuery);
        victim.AllResults();
        return std::string("finished without error");
      } catch (const OdbcError& error) {
        return std::string(error.what());
      }
    });
  }

  // Waits for the future; if it does not end within 30 s the server is
  // stopped so the test ends instead of hanging.
  std::string Outcome(std::future<std::string>& outcome) {
    if (outcome.wait_for(30s) != std::future_status::ready) {
      ADD_FAILURE() << "the request was still running after 30 s";
      server_->stop();
    }
    return outcome.get();
  }

  std::unique_ptr<StandinServer> server_;
};

TEST_F(SessionsTest, GlobalTempTableIsSharedAndDroppedWhenItsCreatorLeaves) {
  auto creator = Connect();
  auto other = Connect();
  creator->Exec("CREATE TABLE ##shared (id int, name varchar(10))");
  creator->Exec("INSERT INTO ##shared VALUES (1, 'Zoë')");
  EXPECT_EQ(other->Scalar("SELECT name FROM ##shared WHERE id = 1"), "Zoë");
  other->Exec("INSERT INTO ##shared VALUES (2, 'José')");
  EXPECT_EQ(creator->Scalar("SELECT COUNT(*) FROM ##shared"), "2");

  creator->Disconnect();
  EXPECT_EQ(EventuallyErrorOf(*other, "SELECT COUNT(*) FROM ##shared", 208), 208);
}

TEST_F(SessionsTest, GlobalTempTableIsDroppedWhenItsCreatorIsKilled) {
  auto creator = Connect();
  auto killer = Connect();
  creator->Exec("CREATE TABLE ##doomed (id int)");
  killer->Exec("KILL " + std::to_string(creator->Spid()));
  EXPECT_EQ(EventuallyErrorOf(*killer, "SELECT COUNT(*) FROM ##doomed", 208), 208);
  EXPECT_THROW(creator->Exec("SELECT 1"), OdbcError);
}

TEST_F(SessionsTest, GlobalTempTableGoesEvenWhileAnotherSessionHoldsTempdb) {
  auto creator = Connect();
  auto busy = Connect();
  auto third = Connect();
  creator->Exec("CREATE TABLE ##left (id int)");
  // An open transaction that has written to tempdb keeps its write lock.
  busy->Exec("BEGIN TRANSACTION; CREATE TABLE #work (n int); INSERT INTO #work VALUES (1)");

  creator->Disconnect();
  const std::string gone = "SELECT CASE WHEN OBJECT_ID('tempdb..##left') IS NULL THEN 1 ELSE 0 END";
  std::string answer;
  for (auto deadline = std::chrono::steady_clock::now() + 10s;
       std::chrono::steady_clock::now() < deadline && answer != "1";
       std::this_thread::sleep_for(20ms))
    answer = third->Scalar(gone).value_or("");
  EXPECT_EQ(answer, "1") << "##left outlived its creator while tempdb was busy";
  EXPECT_EQ(ErrorOf(*busy, "SELECT COUNT(*) FROM ##left"), 208);

  busy->Exec("COMMIT");
  EXPECT_EQ(third->Scalar(gone), "1");
  // Gone for good, not merely hidden: the name is free again.
  third->Exec("CREATE TABLE ##left (id int)");
  EXPECT_EQ(third->Scalar("SELECT COUNT(*) FROM ##left"), "0");
}

TEST_F(SessionsTest, LocalTempTableIsPrivate) {
  auto owner = Connect();
  auto other = Connect();
  owner->Exec("CREATE TABLE #mine (id int)");
  owner->Exec("INSERT INTO #mine VALUES (1)");
  EXPECT_EQ(owner->Scalar("SELECT COUNT(*) FROM #mine"), "1");
  EXPECT_EQ(ErrorOf(*other, "SELECT COUNT(*) FROM #mine"), 208);
  // Each session may have its own table of the same name.
  other->Exec("CREATE TABLE #mine (id int)");
  EXPECT_EQ(other->Scalar("SELECT COUNT(*) FROM #mine"), "0");
}

TEST_F(SessionsTest, KillEndsARunningRequestAndTheServerLivesOn) {
  auto victim = Connect();
  auto killer = Connect();
  const int victim_spid = victim->Spid();
  OdbcStatement statement = victim->Statement();
  std::future<std::string> outcome = RunEndlessQuery(statement);
  ASSERT_EQ(outcome.wait_for(500ms), std::future_status::timeout) << outcome.get();

  killer->Exec("KILL " + std::to_string(victim_spid));
  EXPECT_NE(Outcome(outcome), "finished without error");

  EXPECT_EQ(killer->Scalar("SELECT COUNT(*) FROM Spin"), "200");
  auto newcomer = Connect();
  EXPECT_EQ(newcomer->Scalar("SELECT 1"), "1");
}

TEST_F(SessionsTest, CancelStopsARunningRequestAndKeepsTheSession) {
  auto connection = Connect();
  OdbcStatement statement = connection->Statement();
  std::future<std::string> outcome = RunEndlessQuery(statement);
  ASSERT_EQ(outcome.wait_for(500ms), std::future_status::timeout) << outcome.get();

  statement.Cancel();
  EXPECT_THAT(Outcome(outcome), HasSubstr("HY008"));
  EXPECT_EQ(connection->Scalar("SELECT COUNT(*) FROM Spin"), "200");
}

TEST_F(SessionsTest, QueryTimeoutCancelsAndKeepsTheSession) {
  auto connection = Connect();
  OdbcStatement statement = connection->Statement();
  statement.SetQueryTimeout(1);
  std::future<std::string> outcome = RunEndlessQuery(statement);
  EXPECT_THAT(Outcome(outcome), HasSubstr("HYT00"));
  EXPECT_EQ(connection->Scalar("SELECT COUNT(*) FROM Spin"), "200");
}

TEST_F(SessionsTest, KillRefusesItsOwnAndUnknownSessions) {
  auto connection = Connect();
  EXPECT_EQ(ErrorOf(*connection, "KILL " + std::to_string(connection->Spid())), 6104);
  EXPECT_EQ(ErrorOf(*connection, "KILL 999"), 6106);
}

TEST_F(SessionsTest, LockTimeoutEndsAWaitForAnotherSessionsLock) {
  auto holder = Connect();
  auto waiter = Connect();
  holder->Exec("CREATE TABLE Locked (id int NOT NULL PRIMARY KEY, v int)");
  holder->Exec("INSERT INTO Locked VALUES (1, 0)");
  holder->Exec("BEGIN TRANSACTION");
  holder->Exec("UPDATE Locked SET v = 1 WHERE id = 1");

  waiter->Exec("SET LOCK_TIMEOUT 300");
  try {
    waiter->Exec("UPDATE Locked SET v = 2 WHERE id = 1");
    FAIL() << "the update did not wait for the other session's lock";
  } catch (const OdbcError& error) {
    EXPECT_EQ(error.native(), 1222) << error.what();
    EXPECT_THAT(error.message(), HasSubstr("Lock request time out period exceeded."));
  }

  holder->Exec("ROLLBACK TRANSACTION");
  waiter->Exec("UPDATE Locked SET v = 2 WHERE id = 1");
  EXPECT_EQ(holder->Scalar("SELECT v FROM Locked WHERE id = 1"), "2");
}

TEST_F(SessionsTest, ConcurrentWritersAllSucceed) {
  constexpr int kWriters = 4;
  constexpr int kUpdates = 100;
  Connect()->Exec("CREATE TABLE Counters (id int NOT NULL PRIMARY KEY, n int NOT NULL)");
  Connect()->Exec("INSERT INTO Counters VALUES (0, 0), (1, 0), (2, 0), (3, 0)");
  std::vector<std::future<std::string>> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.push_back(std::async(std::launch::async, [this, w] {
      try {
        auto connection = Connect();
        OdbcStatement statement = connection->Statement();
        for (int i = 0; i < kUpdates; ++i) {
          // Every writer also bumps row 0, so they contend for it.
          statement.ExecDirect("UPDATE Counters SET n = n + 1 WHERE id = ? OR id = 0",
                               {SqlParam::Int(w)});
        }
        return std::string();
      } catch (const OdbcError& error) {
        return std::string(error.what());
      }
    }));
  }
  for (auto& writer : writers) EXPECT_EQ(Outcome(writer), "");
  const ResultSet result = Connect()->Query("SELECT n FROM Counters ORDER BY id");
  EXPECT_EQ(result.rows, (std::vector<Row>{{"400"}, {"100"}, {"100"}, {"100"}}));
}

TEST_F(SessionsTest, ManySessionsAtOnceGetTheirOwnSpids) {
  std::vector<std::unique_ptr<OdbcTestConnection>> connections;
  std::set<int> spids;
  for (int i = 0; i < 30; ++i) {
    connections.push_back(Connect());
    spids.insert(connections.back()->Spid());
  }
  EXPECT_EQ(spids.size(), connections.size());
  connections.clear();
  EXPECT_EQ(Connect()->Scalar("SELECT COUNT(*) FROM Spin"), "200");
}

}  // namespace
}  // namespace standin_test
