// The error classes on their own: names in messages, joining of server
// records, the members of the last record, and which server errors are fatal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "db/errors/client_errors.h"
#include "db/errors/fatal_error.h"
#include "db/odbc/diagnostics.h"

namespace {

struct NamingCase {
  const char* name;
  const char* owner_name;  // nullptr: no owner
  const char* component_name;
  bool sub_component;
  const char* expected;
};

void PrintTo(const NamingCase& c, std::ostream* os) {
  *os << c.name;
}

class ComponentMessageTest : public ::testing::TestWithParam<NamingCase> {};

TEST_P(ComponentMessageTest, NamesTheComponent) {
  const NamingCase& c = GetParam();
  std::unique_ptr<TComponent> owner;
  if (c.owner_name != nullptr) {
    owner = std::make_unique<TComponent>(nullptr);
    owner->SetName(c.owner_name);
  }
  auto* component = new TComponent(owner.get());
  std::unique_ptr<TComponent> unowned(owner ? nullptr : component);
  component->SetName(c.component_name);
  component->SetSubComponent(c.sub_component);
  EXPECT_EQ(ComponentMessage(component, "Field 'X' not found"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Components, ComponentMessageTest,
    ::testing::Values(NamingCase{"Unnamed", nullptr, "", false, "Field 'X' not found"},
                      NamingCase{"Named", nullptr, "tblCFGPropertyLocation", false,
                                 "tblCFGPropertyLocation: Field 'X' not found"},
                      NamingCase{"OwnerNotNamedForPlainComponent", "frmMain", "qryCount", false,
                                 "qryCount: Field 'X' not found"},
                      NamingCase{"SubComponentOfNamedOwner", "frmMain", "Options", true,
                                 "frmMain.Options: Field 'X' not found"},
                      NamingCase{"SubComponentOfUnnamedOwner", "", "Options", true,
                                 "Options: Field 'X' not found"},
                      NamingCase{"UnnamedSubComponent", "frmMain", "", true,
                                 "Field 'X' not found"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ComponentMessageBareTest, NoComponentMeansBareMessage) {
  EXPECT_EQ(ComponentMessage(nullptr, "Required provider is not installed"),
            "Required provider is not installed");
}

TErrorRecord ServerRecord(int number, int severity, int state, const std::string& message) {
  TErrorRecord record;
  record.SQLState = "42000";
  record.NativeError = number;
  record.Message = message;
  record.FromServer = true;
  record.SeverityClass = severity;
  record.State = state;
  record.ServerName = "JAILSRV";
  record.LineNumber = number % 7;
  return record;
}

TErrorRecord DriverRecord(const std::string& state, const std::string& message) {
  TErrorRecord record;
  record.SQLState = state;
  record.Message = message;
  return record;
}

TEST(EMSErrorTest, JoinsServerRecordsAndTakesMembersFromTheLast) {
  TComponent connection(nullptr);
  connection.SetName("dbJail");
  TErrorRecord last = ServerRecord(4060, 11, 1, "Cannot open database \"JAIL\".");
  last.ProcName = "sp_login";
  const EMSError error({ServerRecord(18456, 14, 1, "Login failed for user 'sa'."), last,
                        DriverRecord("08001", "Unable to connect to data source")},
                       odbc::kCallFailed, &connection);

  EXPECT_EQ(error.Message(),
            "dbJail: Login failed for user 'sa'.\r\nCannot open database \"JAIL\".");
  EXPECT_EQ(error.ErrorCode(), 4060);
  EXPECT_EQ(error.MSSQLErrorCode(), 4060);
  EXPECT_EQ(error.SeverityClass(), 11);
  EXPECT_EQ(error.State(), 1);
  EXPECT_EQ(error.ServerName(), "JAILSRV");
  EXPECT_EQ(error.ProcName(), "sp_login");
  EXPECT_EQ(error.LineNumber(), 4060 % 7);
  EXPECT_EQ(error.LastMessage(), "Cannot open database \"JAIL\".");
  EXPECT_EQ(error.OLEDBErrorCode(), static_cast<int>(0x80004005u));
  EXPECT_EQ(error.Records().size(), 3u);
  EXPECT_EQ(error.Component(), &connection);
}

TEST(EMSErrorTest, NeedsARecordFromTheServer) {
  EXPECT_THROW(
      EMSError({DriverRecord("08S01", "Communication link failure")}, odbc::kCallFailed, nullptr),
      std::invalid_argument);
}

TEST(EOLEDBErrorTest, JoinsTheClientRecords) {
  const EOLEDBError error(
      {DriverRecord("HY000", "Unknown error"), DriverRecord("08S01", "Communication link failure")},
      odbc::kCallFailed, nullptr);
  EXPECT_EQ(error.Message(), "Unknown error\r\nCommunication link failure");
  EXPECT_EQ(error.ErrorCode(), static_cast<int>(0x80004005u));
}

TEST(EOLEDBErrorTest, WithoutRecordsNamesTheCode) {
  try {
    throw EOLEDBError({}, odbc::kCallFailed, nullptr);
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "OLE DB error occurred. Code 80004005h");
  }
}

struct FatalCase {
  const char* name;
  int number;
  int severity;
  int state;
  bool fatal;
};

void PrintTo(const FatalCase& c, std::ostream* os) {
  *os << c.name;
}

class FatalErrorTest : public ::testing::TestWithParam<FatalCase> {};

TEST_P(FatalErrorTest, FollowsTheSeverityStateAndNumberRule) {
  const FatalCase& c = GetParam();
  const EMSError error({ServerRecord(c.number, c.severity, c.state, "x")}, odbc::kCallFailed,
                       nullptr);
  EXPECT_EQ(IsFatalServerError(error), c.fatal);
}

INSTANTIATE_TEST_SUITE_P(Errors, FatalErrorTest,
                         ::testing::Values(FatalCase{"Severity20", 50000, 20, 5, true},
                                           FatalCase{"Severity25", 3624, 25, 0, true},
                                           FatalCase{"Severity19", 50000, 19, 1, false},
                                           FatalCase{"SyntaxError", 102, 15, 1, false},
                                           FatalCase{"LockTimeout", 1222, 16, 1, false},
                                           FatalCase{"Number17State1", 17, 16, 1, true},
                                           FatalCase{"Number2State1", 2, 16, 1, true},
                                           FatalCase{"Number18", 18, 16, 1, false},
                                           FatalCase{"Number64", 64, 16, 1, true},
                                           FatalCase{"Number232", 232, 16, 1, true},
                                           FatalCase{"Number233", 233, 16, 1, true},
                                           FatalCase{"Number10054Severity16", 10054, 16, 1, true},
                                           FatalCase{"Number10054Severity10", 10054, 10, 1, true},
                                           FatalCase{"Number64Severity10", 64, 10, 1, false},
                                           FatalCase{"Number10054Severity11", 10054, 11, 1, false},
                                           FatalCase{"Number64State2", 64, 16, 2, false},
                                           FatalCase{"Number10054State0", 10054, 10, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
