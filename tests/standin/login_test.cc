// Logins as the ODBC driver and tsql make them: accepted, refused, and
// refused for a database that does not exist.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "odbc_test_connection.h"
#include "standin_server.h"
#include "tsql_runner.h"

namespace standin_test {
namespace {

using ::testing::HasSubstr;

class LoginTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<StandinServer>(StandinOptions{.logins = {"clerk:Pr0perty!"}});
  }
  static void TearDownTestSuite() { server_.reset(); }
  static int port() { return server_->port(); }

 private:
  static inline std::unique_ptr<StandinServer> server_;
};

struct LoginCase {
  const char* name;
  Login login;
  const char* expected_db;  // what DB_NAME() reports
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const LoginCase& c, std::ostream* os) {
  *os << c.name;
}

class AcceptedLoginTest : public LoginTest, public ::testing::WithParamInterface<LoginCase> {};

TEST_P(AcceptedLoginTest, ConnectsAsTheLoginInItsDatabase) {
  const LoginCase& c = GetParam();
  OdbcTestConnection connection(port(), c.login);
  const ResultSet result = connection.Query("SELECT DB_NAME(), @@SPID");
  ASSERT_EQ(result.rows.size(), 1u);
  EXPECT_EQ(result.rows[0][0], c.expected_db);
  // User sessions start above the spids SQL Server keeps for itself.
  EXPECT_GT(std::stoi(result.rows[0][1].value()), 50);
}

INSTANTIATE_TEST_SUITE_P(
    Logins, AcceptedLoginTest,
    ::testing::Values(LoginCase{"SaEmptyPassword", {"sa", "", ""}, "master"},
                      LoginCase{"SaInMaster", {"sa", "", "master"}, "master"},
                      LoginCase{"ExtraLogin", {"clerk", "Pr0perty!", ""}, "master"},
                      LoginCase{"LoginNameIgnoresCase", {"CLERK", "Pr0perty!", ""}, "master"},
                      LoginCase{"DatabaseNameIgnoresCase", {"sa", "", "MASTER"}, "master"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
  const char* name;
  Login login;
  int native;
  const char* message;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << c.name;
}

class RefusedLoginTest : public LoginTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedLoginTest, FailsWithSqlServersError) {
  const RefusedCase& c = GetParam();
  try {
    OdbcTestConnection connection(port(), c.login);
    FAIL() << "login was accepted";
  } catch (const OdbcError& error) {
    const Diagnostic* diagnostic = error.Find(c.native);
    ASSERT_NE(diagnostic, nullptr) << error.what();
    EXPECT_THAT(diagnostic->message, HasSubstr(c.message));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Logins, RefusedLoginTest,
    ::testing::Values(
        RefusedCase{"WrongPassword", {"sa", "guess", ""}, 18456, "Login failed for user 'sa'."},
        RefusedCase{"PasswordIsCaseSensitive",
                    {"clerk", "pr0perty!", ""},
                    18456,
                    "Login failed for user 'clerk'."},
        RefusedCase{"UnknownLogin", {"nobody", "", ""}, 18456, "Login failed for user 'nobody'."},
        RefusedCase{"UnknownDatabase",
                    {"sa", "", "NOSUCHDB"},
                    4060,
                    "Cannot open database \"NOSUCHDB\" requested by the login. The login failed."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoginTest, RefusedLoginLeavesTheServerServing) {
  EXPECT_THROW(OdbcTestConnection(port(), {"sa", "wrong", ""}), OdbcError);
  OdbcTestConnection connection(port());
  EXPECT_EQ(connection.Scalar("SELECT 1"), "1");
}

TEST_F(LoginTest, TsqlLogsInAndRunsBatches) {
  const TsqlResult result =
      RunTsql(port(), {"SELECT 40 + 2 AS answer", "SELECT DB_NAME()", "SELECT 'Zoë', N'José'"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_THAT(result.out, HasSubstr("answer"));
  EXPECT_THAT(result.out, HasSubstr("42"));
  EXPECT_THAT(result.out, HasSubstr("master"));
  EXPECT_THAT(result.out, HasSubstr("Zoë"));
  EXPECT_THAT(result.out, HasSubstr("José"));
}

TEST_F(LoginTest, TsqlReportsARefusedLogin) {
  const TsqlResult result = RunTsql(port(), {"SELECT 1"}, {"sa", "wrong", ""});
  EXPECT_NE(result.exit_code, 0);
  EXPECT_THAT(result.out + result.err, HasSubstr("18456"));
}

}  // namespace
}  // namespace standin_test
