// The ODBC border through unixODBC + FreeTDS against a private stand-in:
// connecting, and what SQL Server's refusals look like once they reach the
// caller as EMSError or EOLEDBError.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <thread>

#include "core/component.h"
#include "core/exception.h"
#include "db/errors/client_errors.h"
#include "db/odbc/command.h"
#include "db/odbc/connection.h"
#include "db/odbc/diagnostics.h"
#include "db/odbc/environment.h"
#include "db/odbc/sql_api.h"
#include "db/odbc/statement.h"
#include "db/sqlserver/provider.h"
#include "odbc_test_connection.h"
#include "standin_server.h"

namespace {

using standin_test::OdbcTestConnection;
using standin_test::StandinServer;
using ::testing::HasSubstr;

class OdbcBorderTest : public ::testing::Test {
 protected:
  std::string ConnectionString(const std::string& login, const std::string& database = "") {
    const std::string driver = ChooseDriver(prAuto, ncAuto, environment_.RegisteredDrivers());
    std::string text = "Driver={" + driver +
                       "};Server=127.0.0.1;Port=" + std::to_string(server_.port()) + ";" + login +
                       ";TDS_Version=7.4";
    if (!database.empty()) text += ";Database=" + database;
    return text;
  }

  // The EMSError that `run` raises; fails the test when it raises none.
  template <typename Run>
  std::optional<EMSError> MSErrorOf(Run run) {
    try {
      run();
    } catch (const EMSError& error) {
      return error;
    }
    ADD_FAILURE() << "no EMSError";
    return std::nullopt;
  }

  // The session id of `connection`, read through raw ODBC calls.
  int Spid(odbc::Connection& connection) {
    odbc::Statement statement(connection);
    statement.ExecDirect("SELECT @@SPID");
    SQLINTEGER spid = 0;
    odbc::Check(SQLFetch(statement.get()), SQL_HANDLE_STMT, statement.get(), nullptr);
    odbc::Check(SQLGetData(statement.get(), 1, SQL_C_SLONG, &spid, 0, nullptr), SQL_HANDLE_STMT,
                statement.get(), nullptr);
    return spid;
  }

  StandinServer server_;
  odbc::Environment environment_;
};

TEST_F(OdbcBorderTest, ConnectsAndRunsStatements) {
  odbc::Connection connection(environment_, nullptr);
  connection.DriverConnect(ConnectionString("UID=sa;PWD="));
  EXPECT_TRUE(connection.Connected());
  EXPECT_FALSE(connection.Dead());
  odbc::Statement statement(connection);
  statement.ExecDirect("CREATE TABLE Zone (name nvarchar(20))");
  statement.ExecDirect(
      "INSERT INTO Zone VALUES (N'Stra\xC3\x9F"
      "e \xE2\x82\xAC')");
  OdbcTestConnection check(server_.port());
  EXPECT_EQ(check.Scalar("SELECT name FROM Zone"),
            "Stra\xC3\x9F"
            "e \xE2\x82\xAC")
      << "text crosses the border as UTF-16 intact";
  connection.Disconnect();
  EXPECT_FALSE(connection.Connected());
  EXPECT_EQ(statement.get(), nullptr) << "freed with its session";
  try {
    statement.ExecDirect("SELECT 1");
    FAIL() << "ran on a closed session";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Connection is not connected");
  }
}

struct RefusalCase {
  const char* name;
  const char* login;
  const char* database;
  int number;  // of the last server record
  int severity;
  const char* message;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
  *os << c.name;
}

class RefusedConnectTest : public OdbcBorderTest,
                           public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedConnectTest, RaisesEMSErrorWithTheServersRecords) {
  const RefusalCase& c = GetParam();
  TComponent owner(nullptr);
  owner.SetName("dbJail");
  odbc::Connection connection(environment_, &owner);
  std::optional<EMSError> error =
      MSErrorOf([&] { connection.DriverConnect(ConnectionString(c.login, c.database)); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->Message(), c.message);
  EXPECT_EQ(error->MSSQLErrorCode(), c.number);
  EXPECT_EQ(error->ErrorCode(), c.number);
  EXPECT_EQ(error->SeverityClass(), c.severity);
  EXPECT_EQ(error->State(), 1);
  EXPECT_EQ(error->Component(), &owner);
  EXPECT_FALSE(connection.Connected());

  // The refusal leaves the handle usable for the next attempt.
  connection.DriverConnect(ConnectionString("UID=sa;PWD="));
  EXPECT_TRUE(connection.Connected());
}

// FreeTDS ranks a call's records by severity, so the login failure (14)
// comes before the unknown database (11) whatever order the server used.
INSTANTIATE_TEST_SUITE_P(
    Logins, RefusedConnectTest,
    ::testing::Values(RefusalCase{"WrongPassword", "UID=sa;PWD=guess", "", 18456, 14,
                                  "dbJail: Login failed for user 'sa'."},
                      RefusalCase{"UnknownLogin", "UID=nobody;PWD=", "", 18456, 14,
                                  "dbJail: Login failed for user 'nobody'."},
                      RefusalCase{"UnknownDatabase", "UID=sa;PWD=", "NOSUCHDB", 4060, 11,
                                  "dbJail: Login failed for user 'sa'.\r\n"
                                  "Cannot open database \"NOSUCHDB\" requested by the login. "
                                  "The login failed."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OdbcBorderTest, SyntaxErrorCarriesNumberSeverityAndLine) {
  odbc::Connection connection(environment_, nullptr);
  connection.DriverConnect(ConnectionString("UID=sa;PWD="));
  odbc::Statement statement(connection);
  std::optional<EMSError> error =
      MSErrorOf([&] { statement.ExecDirect("SELECT 1\nSELEC LOCKEY FROM CFGPROPL"); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->MSSQLErrorCode(), 102);
  EXPECT_EQ(error->SeverityClass(), 15);
  EXPECT_EQ(error->LineNumber(), 2);
  EXPECT_THAT(error->Message(), HasSubstr("Incorrect syntax near"));
  EXPECT_EQ(error->Message(), error->LastMessage()) << "one record, no driver prefix";
  EXPECT_FALSE(error->ServerName().empty());
  EXPECT_EQ(error->Records().front().SQLState, "42000");
}

TEST_F(OdbcBorderTest, RecordsOfOneCallAreJoinedInOrder) {
  odbc::Connection connection(environment_, nullptr);
  connection.DriverConnect(ConnectionString("UID=sa;PWD="));
  odbc::Statement statement(connection);
  statement.ExecDirect("CREATE TABLE #quotients (q int)");
  // A failed INSERT, unlike a failed SELECT, is followed by "terminated".
  std::optional<EMSError> error =
      MSErrorOf([&] { statement.ExecDirect("INSERT INTO #quotients VALUES (1/0)"); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->Message(),
            "Divide by zero error encountered.\r\nThe statement has been terminated.");
  EXPECT_EQ(error->LastMessage(), "The statement has been terminated.");
  EXPECT_EQ(error->MSSQLErrorCode(), 3621);
}

TEST_F(OdbcBorderTest, ServerMessageTextCrossesAsUtf8) {
  odbc::Connection connection(environment_, nullptr);
  connection.DriverConnect(ConnectionString("UID=sa;PWD="));
  odbc::Statement statement(connection);
  std::optional<EMSError> error = MSErrorOf([&] {
    statement.ExecDirect(
        "RAISERROR(N'Zo\xC3\xAB owes \xE2\x82\xAC"
        "5', 16, 1)");
  });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->Message(),
            "Zo\xC3\xAB owes \xE2\x82\xAC"
            "5");
  EXPECT_EQ(error->MSSQLErrorCode(), 50000);
  EXPECT_EQ(error->SeverityClass(), 16);
}

TEST_F(OdbcBorderTest, LongMessagesArriveWhole) {
  odbc::Connection connection(environment_, nullptr);
  connection.DriverConnect(ConnectionString("UID=sa;PWD="));
  odbc::Statement statement(connection);
  const std::string text = std::string(1500, 'x') + "!";
  std::optional<EMSError> error =
      MSErrorOf([&] { statement.ExecDirect("RAISERROR('" + text + "', 16, 1)"); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->Message(), text);
}

TEST_F(OdbcBorderTest, UnreachableServerIsAClientError) {
  const int port = server_.port();
  server_.stop();
  odbc::Connection connection(environment_, nullptr);
  try {
    connection.DriverConnect("Driver={FreeTDS};Server=127.0.0.1;Port=" + std::to_string(port) +
                             ";UID=sa;PWD=;TDS_Version=7.4");
    FAIL() << "connected to a stopped server";
  } catch (const EMSError& error) {
    FAIL() << "no server spoke, yet: " << error.Message();
  } catch (const EOLEDBError& error) {
    EXPECT_THAT(error.Message(), HasSubstr("Unable to connect"));
    EXPECT_FALSE(connection.Connected());
  }
}

TEST_F(OdbcBorderTest, KilledSessionFailsTheNextCall) {
  odbc::Connection victim(environment_, nullptr);
  victim.DriverConnect(ConnectionString("UID=sa;PWD="));
  const int spid = Spid(victim);
  OdbcTestConnection killer(server_.port());
  killer.Exec("KILL " + std::to_string(spid));

  // KILL returns before the victim's socket is closed, so allow a moment.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  odbc::Statement statement(victim);
  for (;;) {
    try {
      statement.ExecDirect("SELECT 1");
      SQLCloseCursor(statement.get());
    } catch (const EMSError& error) {
      FAIL() << "FreeTDS was expected to report the lost session itself: " << error.Message();
    } catch (const EOLEDBError& error) {
      EXPECT_FALSE(error.Message().empty());
      break;
    }
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the killed session still answers";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_TRUE(victim.Dead());
  // Disconnecting and freeing the broken session must neither throw nor crash.
}

// The driver says only "Unknown error" when the server has gone away under
// the first statement; the error says what happened and keeps its text.
TEST_F(OdbcBorderTest, AStatementAfterTheServerHasGoneSaysTheConnectionWasLost) {
  const struct {
    const char* Name;
    std::function<void(odbc::Connection&)> Run;
  } cases[] = {
      {"statement", [](odbc::Connection& c) { odbc::Statement(c).ExecDirect("SELECT 1"); }},
      {"command", [](odbc::Connection& c) { odbc::Command(c, nullptr).Execute("SELECT 1", {}); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    server_.restart();
    odbc::Connection connection(environment_, nullptr);
    connection.DriverConnect(ConnectionString("UID=sa;PWD="));
    server_.stop();
    try {
      c.Run(connection);
      ADD_FAILURE() << "ran on a stopped server";
    } catch (const EMSError& error) {
      ADD_FAILURE() << "no server spoke, yet: " << error.Message();
    } catch (const EOLEDBError& error) {
      ASSERT_FALSE(error.Records().empty());
      EXPECT_EQ(error.Message(),
                "The connection to the server was lost.\r\n" + error.Records().front().Message);
    }
    EXPECT_TRUE(connection.Dead());
  }
}

}  // namespace
