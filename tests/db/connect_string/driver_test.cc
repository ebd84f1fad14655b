// Connect strings through the layer: which of the drivers the driver manager
// lists the Provider entry makes a connection load, and an assignment to an
// open connection. Each test gives the driver manager a private driver list.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>

#include "core/exception.h"
#include "db/connect_string/settings.h"
#include "db/errors/database_error.h"
#include "db/sqlserver/connection.h"
#include "standin_server.h"
#include "temp_dir.h"

namespace {

using ::testing::HasSubstr;

// A machine with FreeTDS and nothing else, as the Linux hosts have.
constexpr const char* kOnlyFreeTds = "[FreeTDS]\nDriver=libtdsodbc.so\n";
constexpr const char* kNoDriver = "";
// Every driver name the providers map to, each but FreeTDS a library that
// does not exist, so the load error names the driver the connection chose.
constexpr const char* kEveryName =
    "[FreeTDS]\nDriver=libtdsodbc.so\n"
    "[SQL Server]\nDriver=/nonexistent/sqlsrv32.so\n"
    "[ODBC Driver 17 for SQL Server]\nDriver=/nonexistent/msodbcsql17.so\n"
    "[SQL Native Client]\nDriver=/nonexistent/sqlncli.so\n"
    "[SQL Server Native Client 10.0]\nDriver=/nonexistent/sqlncli10.so\n"
    "[SQL Server Native Client 11.0]\nDriver=/nonexistent/sqlncli11.so\n";

// Makes `AIni` the driver list of this process's next connects. unixODBC
// reads ODBCSYSINI once per process but its odbcinst.ini at every connect,
// so the tests of a process share one directory and rewrite the file.
void RegisterDrivers(const char* AIni) {
  struct PrivateDriverList {
    standin_test::TempDir dir;
    PrivateDriverList() { setenv("ODBCSYSINI", dir.path().c_str(), 1); }
  };
  static const PrivateDriverList list;
  std::ofstream(list.dir.path() / "odbcinst.ini") << AIni;
}

struct DriverCase {
  const char* name;
  const char* registered;  // the driver manager's odbcinst.ini
  std::string provider;    // the connect string's Provider entry, or empty
  std::string error;       // a part of the connect error; empty: connects
};

void PrintTo(const DriverCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

constexpr const char* kNotInstalled = "Required provider is not installed";

class ProviderDriverTest : public ::testing::TestWithParam<DriverCase> {
 protected:
  void SetUp() override { RegisterDrivers(GetParam().registered); }

  standin_test::StandinServer FServer;
};

TEST_P(ProviderDriverTest, LoadsTheFirstRegisteredDriverOfItsFamily) {
  const DriverCase& c = GetParam();
  TMSConnection connection(nullptr);
  std::string text = "Data Source=127.0.0.1;Port=" + std::to_string(FServer.port());
  if (!c.provider.empty()) text += ";Provider=" + c.provider;
  connection.SetConnectString(text);
  if (c.error.empty()) {
    connection.Connect();
    EXPECT_TRUE(connection.Connected());
    connection.ExecSQL("SELECT 1");
    return;
  }
  try {
    connection.Connect();
    FAIL() << "connected";
  } catch (const Exception& e) {
    EXPECT_THAT(e.Message(), HasSubstr(c.error));
  }
  EXPECT_FALSE(connection.Connected());
}

const std::string kCompact = "MICROSOFT.SQLSERVER.MOBILE.OLEDB.3.5";

INSTANTIATE_TEST_SUITE_P(
    Providers, ProviderDriverTest,
    ::testing::Values(
        DriverCase{"NoEntryOnlyFreeTds", kOnlyFreeTds, "", ""},
        DriverCase{"SqlOleDbOnlyFreeTds", kOnlyFreeTds, "SQLOLEDB.1", ""},
        DriverCase{"NativeClientOnlyFreeTds", kOnlyFreeTds, "SQLNCLI.1", ""},
        DriverCase{"NativeClient10OnlyFreeTds", kOnlyFreeTds, "SQLNCLI10.1", ""},
        DriverCase{"NativeClient11OnlyFreeTds", kOnlyFreeTds, "SQLNCLI11.1", ""},
        DriverCase{"CompactOnlyFreeTds", kOnlyFreeTds, kCompact, kNotInstalled},
        DriverCase{"NoEntryNoDriver", kNoDriver, "", kNotInstalled},
        DriverCase{"SqlOleDbNoDriver", kNoDriver, "SQLOLEDB.1", kNotInstalled},
        DriverCase{"NativeClient11NoDriver", kNoDriver, "SQLNCLI11.1", kNotInstalled},
        DriverCase{"NoEntryTakesNewestNativeClient", kEveryName, "", "sqlncli11.so"},
        DriverCase{"SqlOleDbTakesTheOldDriver", kEveryName, "SQLOLEDB.1", "sqlsrv32.so"},
        DriverCase{"NativeClientTakesNewest", kEveryName, "SQLNCLI.1", "sqlncli11.so"},
        DriverCase{"NativeClient10TakesItsOwn", kEveryName, "SQLNCLI10.1", "sqlncli10.so"}),
    [](const auto& info) { return std::string(info.param.name); });

class OpenConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterDrivers(kOnlyFreeTds);
    FConnection.SetConnectString(FAddress);
    FConnection.Connect();
  }

  standin_test::StandinServer FServer;
  const std::string FAddress = "Data Source=127.0.0.1;Port=" + std::to_string(FServer.port());
  TMSConnection FConnection{nullptr};
};

TEST_F(OpenConnectionTest, ASettingFixedWhileOpenIsRefusedWithEverySettingKept) {
  const TMSConnectionSettings before = SettingsOf(FConnection);
  try {
    FConnection.SetConnectString(FAddress + ";Initial Catalog=" + before.Database +
                                 ";Provider=SQLOLEDB.1");
    FAIL() << "accepted";
  } catch (const EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("Cannot perform this operation on an open connection"));
  }
  EXPECT_TRUE(FConnection.Connected());
  EXPECT_EQ(SettingsOf(FConnection), before);
}

TEST_F(OpenConnectionTest, AChangedLoginSettingDisconnectsFirst) {
  FConnection.SetConnectString(FAddress + ";User ID=sa;Provider=SQLOLEDB.1");
  EXPECT_FALSE(FConnection.Connected());
  EXPECT_EQ(FConnection.Options().Provider(), prSQL);
  FConnection.Connect();
  EXPECT_TRUE(FConnection.Connected());
}

}  // namespace
