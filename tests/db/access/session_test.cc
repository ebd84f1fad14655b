// TMSConnection through unixODBC + FreeTDS against a private stand-in: what
// connecting sends, the settings rules, the failure table, implicit connects,
// the bound datasets' notifications, ExecSQL, and a session killed under it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <typeinfo>
#include <vector>

#include "core/exception.h"
#include "db/access/connection_client.h"
#include "db/errors/database_error.h"
#include "db/sqlserver/connection.h"
#include "odbc_test_connection.h"
#include "session_fixture.h"

namespace {

using session_test::SessionFixture;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// A dataset stand-in that writes down what its connection tells it.
class RecordingClient : public TConnectionClient {
 public:
  explicit RecordingClient(std::vector<std::string>& ALog) : FLog(ALog) {}
  void ConnectionClosing() override { FLog.push_back("closing"); }
  void ConnectionFreed() override { FLog.push_back("freed"); }

 private:
  std::vector<std::string>& FLog;
};

class SessionTest : public ::testing::Test, public SessionFixture {
 protected:
  // The requests `connection` sent, up to its first own query.
  std::vector<std::string> ConnectRequests(TMSConnection& connection) {
    std::vector<std::string> requests = Requests(Spid(connection));
    EXPECT_FALSE(requests.empty());
    if (!requests.empty()) requests.pop_back();  // the SELECT @@SPID
    return requests;
  }
};

struct ConnectCase {
  const char* name;
  int lock_timeout;
  bool quoted_identifier;
  std::vector<std::string> sent;
};

// Readable case names in test listings.
void PrintTo(const ConnectCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class ConnectSendsTest : public SessionTest, public ::testing::WithParamInterface<ConnectCase> {};

TEST_P(ConnectSendsTest, OnlyTheOptionStatements) {
  auto connection = NewConnection();
  connection->Options().SetDefaultLockTimeout(GetParam().lock_timeout);
  connection->Options().SetQuotedIdentifier(GetParam().quoted_identifier);
  connection->Connect();
  EXPECT_THAT(ConnectRequests(*connection), ElementsAreArray(GetParam().sent));
}

INSTANTIATE_TEST_SUITE_P(
    Options, ConnectSendsTest,
    ::testing::Values(
        ConnectCase{"Default", 2000, true, {"batch: SET LOCK_TIMEOUT 2000"}},
        ConnectCase{"NoLockTimeout", 0, true, {}}, ConnectCase{"MinusOne", -1, true, {}},
        ConnectCase{"QuotedIdentifierOff", -1, false, {"batch: SET QUOTED_IDENTIFIER OFF"}},
        ConnectCase{"Both",
                    500,
                    false,
                    {"batch: SET QUOTED_IDENTIFIER OFF", "batch: SET LOCK_TIMEOUT 500"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SessionTest, TheLockTimeoutAndQuotingReachTheSession) {
  auto connection = NewConnection();
  connection->Options().SetQuotedIdentifier(false);
  connection->Connect();
  EXPECT_EQ(Scalar(*connection, "SELECT @@LOCK_TIMEOUT"), "2000");
}

TEST_F(SessionTest, AnEmptyServerIsThisMachineAndEmptyLoginIsSa) {
  auto connection = NewConnection();
  connection->SetServer("");
  ASSERT_EQ(connection->Username(), "");
  connection->Connect();
  EXPECT_EQ(Scalar(*connection, "SELECT SUSER_SNAME()"), "sa");
}

TEST_F(SessionTest, TheLoginCarriesTheNamesTheOptionsGive) {
  auto connection = NewConnection();
  connection->Connect();
#if defined(_WIN32)
  const std::string program = "session_test.exe";  // the program's file name, as Windows has it
#else
  const std::string program = "session_test";  // the program's file name
#endif
  EXPECT_EQ(Scalar(*connection, "SELECT APP_NAME()"), program);
  connection->Disconnect();

  connection->Options().SetApplicationName("Synch Property Locations");
  connection->Options().SetWorkstationID("DESK-7");
  connection->Options().SetLanguage("us_english");
  connection->Connect();
  EXPECT_EQ(Scalar(*connection, "SELECT APP_NAME()"), "Synch Property Locations");
  EXPECT_EQ(Scalar(*connection, "SELECT HOST_NAME()"), "DESK-7");
  EXPECT_EQ(Scalar(*connection, "SELECT @@LANGUAGE"), "us_english");
}

TEST_F(SessionTest, APortInTheServerWins) {
  auto connection = NewConnection();
  connection->SetServer("127.0.0.1," + std::to_string(Server().port()));
  connection->SetPort(1);  // would be refused
  connection->Connect();
  EXPECT_TRUE(connection->Connected());
}

TEST_F(SessionTest, DatabaseIsReadBackWhenEmptyAndKeptWhenGiven) {
  auto connection = NewConnection();
  EXPECT_EQ(connection->Database(), "");
  connection->Connect();
  EXPECT_EQ(connection->Database(), "master");
  connection->Disconnect();
  EXPECT_EQ(connection->Database(), "master");

  auto other = NewConnection();
  other->SetDatabase("tempdb");
  other->Connect();
  EXPECT_EQ(other->Database(), "tempdb");
  EXPECT_EQ(Scalar(*other, "SELECT DB_NAME()"), "tempdb");
}

TEST_F(SessionTest, SettingDatabaseWhileConnectedSwitchesTheSession) {
  auto connection = NewConnection("dbJail");
  connection->Connect();
  connection->SetDatabase("tempdb");
  EXPECT_EQ(Scalar(*connection, "SELECT DB_NAME()"), "tempdb");

  try {
    connection->SetDatabase("");
    FAIL() << "no error";
  } catch (const EDatabaseError& error) {
    EXPECT_EQ(error.Message(), "Changing database name to default value is not allowed");
  }
  EXPECT_THROW(connection->SetDatabase("NoSuchDb"), EMSError);
  EXPECT_TRUE(connection->Connected());
  EXPECT_EQ(connection->Database(), "tempdb");
  EXPECT_EQ(Scalar(*connection, "SELECT DB_NAME()"), "tempdb");
}

struct FailureCase {
  const char* name;
  std::function<void(TMSConnection&)> spoil;
  const std::type_info& error_class;
  std::string message;  // a part of the message
  std::function<void(TMSConnection&)> repair;
};

// Readable case names in test listings.
void PrintTo(const FailureCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class ConnectFailureTest : public SessionTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ConnectFailureTest, RaisesStaysClosedAndRetriesFromScratch) {
  auto connection = NewConnection("dbJail");
  connection->SetConnectionTimeout(5);
  GetParam().spoil(*connection);
  int before_connect = 0;
  connection->SetBeforeConnect([&](TComponent*) { ++before_connect; });
  try {
    connection->Connect();
    FAIL() << "connected";
  } catch (const Exception& error) {
    EXPECT_EQ(typeid(error), GetParam().error_class) << error.Message();
    EXPECT_THAT(error.Message(), HasSubstr(GetParam().message));
  }
  EXPECT_FALSE(connection->Connected());
  EXPECT_THROW(connection->Session(), Exception);

  GetParam().repair(*connection);
  connection->Connect();
  EXPECT_TRUE(connection->Connected());
  EXPECT_EQ(before_connect, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ConnectFailureTest,
    ::testing::Values(
        FailureCase{"NoProvider", [](TMSConnection& c) { c.Options().SetProvider(prCompact); },
                    typeid(EDatabaseError), "Required provider is not installed",
                    [](TMSConnection& c) { c.Options().SetProvider(prSQL); }},
        FailureCase{"Unreachable", [](TMSConnection& c) { c.SetServer("127.0.0.1,1"); },
                    typeid(EOLEDBError),
                    "dbJail: ", [](TMSConnection& c) { c.SetServer("127.0.0.1"); }},
        FailureCase{"LoginRefused",
                    [](TMSConnection& c) {
                      c.SetUsername("nobody");
                      c.SetPassword("secret");
                    },
                    typeid(EMSError), "dbJail: Login failed for user 'nobody'",
                    [](TMSConnection& c) {
                      c.SetUsername("");
                      c.SetPassword("");
                    }},
        FailureCase{"UnknownDatabase", [](TMSConnection& c) { c.SetDatabase("NoSuchDb"); },
                    typeid(EMSError), "Cannot open database \"NoSuchDb\"",
                    [](TMSConnection& c) { c.SetDatabase("tempdb"); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SessionTest, NoProviderIsABareMessage) {
  auto connection = NewConnection("dbJail");
  connection->Options().SetProvider(prCompact);
  try {
    connection->Connect();
    FAIL() << "connected";
  } catch (const EDatabaseError& error) {
    EXPECT_EQ(error.Message(), "Required provider is not installed");
  }
}

struct FixedOptionCase {
  const char* name;
  std::function<void(TMSConnection&)> change;
  std::function<bool(TMSConnection&)> unchanged;
};

// Readable case names in test listings.
void PrintTo(const FixedOptionCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class FixedOptionTest : public SessionTest,
                        public ::testing::WithParamInterface<FixedOptionCase> {};

TEST_P(FixedOptionTest, CannotChangeOnAnOpenConnection) {
  auto connection = NewConnection("dbJail");
  connection->Connect();
  try {
    GetParam().change(*connection);
    FAIL() << "changed";
  } catch (const EDatabaseError& error) {
    EXPECT_EQ(error.Message(), "dbJail: Cannot perform this operation on an open connection");
  }
  EXPECT_TRUE(GetParam().unchanged(*connection));
  EXPECT_TRUE(connection->Connected());

  connection->Disconnect();
  GetParam().change(*connection);
  EXPECT_FALSE(GetParam().unchanged(*connection));
}

INSTANTIATE_TEST_SUITE_P(
    Options, FixedOptionTest,
    ::testing::Values(
        FixedOptionCase{"Provider", [](TMSConnection& c) { c.Options().SetProvider(prSQL); },
                        [](TMSConnection& c) { return c.Options().Provider() == prAuto; }},
        FixedOptionCase{
            "NativeClientVersion",
            [](TMSConnection& c) { c.Options().SetNativeClientVersion(nc2012); },
            [](TMSConnection& c) { return c.Options().NativeClientVersion() == ncAuto; }},
        FixedOptionCase{"Encrypt", [](TMSConnection& c) { c.Options().SetEncrypt(true); },
                        [](TMSConnection& c) { return !c.Options().Encrypt(); }},
        FixedOptionCase{"DefaultLockTimeout",
                        [](TMSConnection& c) { c.Options().SetDefaultLockTimeout(-1); },
                        [](TMSConnection& c) { return c.Options().DefaultLockTimeout() == 2000; }}),
    [](const auto& info) { return std::string(info.param.name); });

struct LoginSettingCase {
  const char* name;
  std::function<void(TMSConnection&, int port)> set;
  bool disconnects;
};

// Readable case names in test listings.
void PrintTo(const LoginSettingCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class LoginSettingTest : public SessionTest,
                         public ::testing::WithParamInterface<LoginSettingCase> {};

TEST_P(LoginSettingTest, ADifferentValueDisconnects) {
  auto connection = NewConnection();
  std::vector<std::string> log;
  RecordingClient client(log);
  connection->RegisterClient(&client);
  connection->Connect();
  GetParam().set(*connection, Server().port());
  EXPECT_EQ(connection->Connected(), !GetParam().disconnects);
  EXPECT_EQ(log.size(), GetParam().disconnects ? 1u : 0u);
  connection->UnregisterClient(&client);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, LoginSettingTest,
    ::testing::Values(
        LoginSettingCase{"SameServer", [](TMSConnection& c, int) { c.SetServer("127.0.0.1"); },
                         false},
        LoginSettingCase{"Server", [](TMSConnection& c, int) { c.SetServer("localhost"); }, true},
        LoginSettingCase{"SamePort", [](TMSConnection& c, int port) { c.SetPort(port); }, false},
        LoginSettingCase{"Port", [](TMSConnection& c, int) { c.SetPort(1433); }, true},
        LoginSettingCase{"Username", [](TMSConnection& c, int) { c.SetUsername("sa"); }, true},
        LoginSettingCase{"Password", [](TMSConnection& c, int) { c.SetPassword("x"); }, true},
        LoginSettingCase{"Authentication",
                         [](TMSConnection& c, int) { c.SetAuthentication(auWindows); }, true},
        LoginSettingCase{"Database", [](TMSConnection& c, int) { c.SetDatabase("tempdb"); },
                         false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SessionTest, EventsAndClientsInOrder) {
  std::vector<std::string> log;
  RecordingClient client(log);
  {
    auto connection = NewConnection();
    connection->SetBeforeConnect([&](TComponent*) { log.push_back("before connect"); });
    connection->SetAfterConnect([&](TComponent*) { log.push_back("after connect"); });
    connection->SetBeforeDisconnect([&](TComponent*) { log.push_back("before disconnect"); });
    connection->SetAfterDisconnect([&](TComponent*) { log.push_back("after disconnect"); });
    connection->RegisterClient(&client);
    connection->RegisterClient(&client);
    connection->SetConnected(true);
    connection->Connect();  // already connected: nothing
    connection->SetConnected(false);
    connection->Disconnect();  // already closed: nothing
    connection->Open();
    log.push_back("free");
  }
  EXPECT_THAT(log, ElementsAre("before connect", "after connect", "before disconnect", "closing",
                               "after disconnect", "before connect", "after connect", "free",
                               "before disconnect", "closing", "after disconnect", "freed"));
}

TEST_F(SessionTest, ImplicitConnectFollowsAllowImplicitConnect) {
  auto connection = NewConnection("dbJail");
  connection->Options().SetAllowImplicitConnect(false);
  try {
    connection->BeginUse(connection.get());
    FAIL() << "connected";
  } catch (const Exception& error) {
    EXPECT_EQ(typeid(error), typeid(Exception));
    EXPECT_EQ(error.Message(), "Connection is not connected");
  }
  EXPECT_FALSE(connection->Connected());

  connection->Options().SetAllowImplicitConnect(true);
  connection->BeginUse(connection.get());
  EXPECT_TRUE(connection->Connected());
  connection->EndUse();
  EXPECT_TRUE(connection->Connected());  // the use count never closes it
}

TEST_F(SessionTest, ExecSQLConnectsWhateverAllowImplicitConnectHolds) {
  auto connection = NewConnection();
  connection->Options().SetAllowImplicitConnect(false);
  EXPECT_TRUE(
      connection->ExecSQL("CREATE TABLE Note (id int, text varchar(20), at varchar(20))").IsNull());
  EXPECT_TRUE(connection->Connected());

  connection->ExecSQL("INSERT INTO Note VALUES (:ID, :TEXT, '12:30')",
                      {TVariant(std::int32_t{7}), TVariant("Stra\xC3\x9F"
                                                           "e")});
  connection->ExecSQL("INSERT INTO Note VALUES (:ID, :TEXT, NULL)", {TVariant(std::int32_t{8})});
  const odbc::TResultSet rows = Query(*connection, "SELECT id, text, at FROM Note ORDER BY id");
  ASSERT_EQ(rows.Rows.size(), 2u);
  EXPECT_EQ(rows.Rows[0], (std::vector<TVariant>{std::int32_t{7},
                                                 "Stra\xC3\x9F"
                                                 "e",
                                                 "12:30"}));
  EXPECT_EQ(rows.Rows[1], (std::vector<TVariant>{std::int32_t{8}, TVariant(), TVariant()}));

  EXPECT_THROW(connection->ExecSQL("INSERT INTO Missing VALUES (1)"), EMSError);
  EXPECT_TRUE(connection->Connected());
}

TEST_F(SessionTest, AStoredOpenStateWaitsForLoadingAndKeepDesignConnected) {
  for (const bool keep : {true, false}) {
    auto connection = NewConnection();
    connection->Options().SetKeepDesignConnected(keep);
    connection->BeginLoading();
    connection->SetConnected(true);
    EXPECT_FALSE(connection->Connected());
    EXPECT_TRUE(connection->StreamedConnected());
    connection->Loaded();
    EXPECT_EQ(connection->Connected(), keep);
  }
}

TEST_F(SessionTest, AKilledSessionClosesTheConnectionAndTheNextUseReconnects) {
  auto connection = NewConnection();
  std::vector<std::string> log;
  RecordingClient client(log);
  connection->RegisterClient(&client);
  connection->Connect();
  const int victim = Spid(*connection);
  standin_test::OdbcTestConnection killer(Server().port());
  killer.Exec("KILL " + std::to_string(victim));

  // KILL may return before the victim's socket is closed.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (;;) {
    try {
      connection->ExecSQL("SELECT 1");
    } catch (const EOLEDBError& error) {
      EXPECT_FALSE(error.Message().empty());
      break;
    }
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the killed session still answers";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_FALSE(connection->Connected());
  EXPECT_THAT(log, ElementsAre("closing"));

  connection->ExecSQL("SELECT 1");
  EXPECT_TRUE(connection->Connected());
  connection->UnregisterClient(&client);
}

}  // namespace
