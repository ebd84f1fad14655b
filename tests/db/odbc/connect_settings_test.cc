// What reaches the driver from a connection's settings: the server with its
// port rule and "(local)", the "sa" rule, and the keywords each driver reads.
#include "db/odbc/connect_settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "core/exception.h"

namespace {

using ::testing::HasSubstr;

struct DataSourceCase {
  std::string server;
  int port;
  std::string expected;
};

// Readable case names in test listings.
void PrintTo(const DataSourceCase& ACase, std::ostream* AOut) {
  *AOut << '"' << ACase.server << "\" " << ACase.port;
}

class DataSourceTest : public ::testing::TestWithParam<DataSourceCase> {};

TEST_P(DataSourceTest, AppliesTheLocalAndPortRules) {
  EXPECT_EQ(odbc::DataSource(GetParam().server, GetParam().port), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Servers, DataSourceTest,
                         ::testing::Values(DataSourceCase{"", 1433, "(local)"},
                                           DataSourceCase{"", 1500, "(local),1500"},
                                           DataSourceCase{"srv", 1433, "srv"},
                                           DataSourceCase{"srv", 1500, "srv,1500"},
                                           DataSourceCase{"srv,1600", 1500, "srv,1600"},
                                           DataSourceCase{"srv,1600", 1433, "srv,1600"},
                                           DataSourceCase{"srv\\INST", 1433, "srv\\INST"},
                                           DataSourceCase{"srv\\INST", 1500, "srv\\INST,1500"}));

struct StringCase {
  const char* name;
  odbc::ConnectSettings settings;
  std::string expected;  // the whole connection string
};

// Readable case names in test listings.
void PrintTo(const StringCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class ConnectionStringTest : public ::testing::TestWithParam<StringCase> {};

TEST_P(ConnectionStringTest, NamesEverySettingForTheDriver) {
  EXPECT_EQ(odbc::ConnectionString(GetParam().settings), GetParam().expected);
}

// Settings for `ADriver` with a fixed application name, changed by `AChange`.
template <class Change>
odbc::ConnectSettings For(std::string ADriver, Change AChange) {
  odbc::ConnectSettings settings;
  settings.Driver = std::move(ADriver);
  settings.ApplicationName = "App";
  AChange(settings);
  return settings;
}

template <class Change>
odbc::ConnectSettings FreeTds(Change AChange) {
  return For("FreeTDS", AChange);
}

template <class Change>
odbc::ConnectSettings Microsoft(Change AChange,
                                std::string ADriver = "ODBC Driver 18 for SQL Server") {
  return For(std::move(ADriver), AChange);
}

const std::string kFreeTdsTail =
    ";APP=App;PacketSize=4096;TDS_Version=7.4;Encryption=request;ClientCharset=UTF-8";

INSTANTIATE_TEST_SUITE_P(
    Drivers, ConnectionStringTest,
    ::testing::Values(
        StringCase{"FreeTdsLocalIsLoopback", FreeTds([](odbc::ConnectSettings&) {}),
                   "Driver=FreeTDS;Server=127.0.0.1;UID=sa;PWD=" + kFreeTdsTail},
        StringCase{"FreeTdsLocalWithPort", FreeTds([](odbc::ConnectSettings& s) { s.Port = 1500; }),
                   "Driver=FreeTDS;Server=127.0.0.1,1500;UID=sa;PWD=" + kFreeTdsTail},
        StringCase{"FreeTdsNamedLocal",
                   FreeTds([](odbc::ConnectSettings& s) { s.Server = "(LOCAL)\\INST"; }),
                   "Driver=FreeTDS;Server=127.0.0.1\\INST;UID=sa;PWD=" + kFreeTdsTail},
        StringCase{"FreeTdsEncryptedNamesItsSection", FreeTds([](odbc::ConnectSettings& s) {
                     s.Server = "srv";
                     s.Encrypt = true;
                     s.FreeTdsSection = "encrypted-session";
                   }),
                   "Driver=FreeTDS;Servername=encrypted-session;UID=sa;PWD=;APP=App;"
                   "PacketSize=4096;TDS_Version=7.4;Encryption=require;ClientCharset=UTF-8"},
        StringCase{"FreeTdsTracesWhereAsked", FreeTds([](odbc::ConnectSettings& s) {
                     s.Server = "srv";
                     s.DumpFile = "/home/op/driver;trace";
                   }),
                   "Driver=FreeTDS;Server=srv;UID=sa;PWD=" + kFreeTdsTail +
                       ";DumpFile={/home/op/driver;trace}"},
        StringCase{"FreeTdsDotIsLocal", FreeTds([](odbc::ConnectSettings& s) { s.Server = "."; }),
                   "Driver=FreeTDS;Server=127.0.0.1;UID=sa;PWD=" + kFreeTdsTail},
        StringCase{"FreeTdsServerKeepsItsPort", FreeTds([](odbc::ConnectSettings& s) {
                     s.Server = "srv,1600";
                     s.Port = 1500;
                   }),
                   "Driver=FreeTDS;Server=srv,1600;UID=sa;PWD=" + kFreeTdsTail},
        StringCase{"PasswordOnlyIsNotSa", FreeTds([](odbc::ConnectSettings& s) {
                     s.Server = "srv";
                     s.Password = "pw";
                   }),
                   "Driver=FreeTDS;Server=srv;UID=;PWD=pw" + kFreeTdsTail},
        StringCase{"Integrated", FreeTds([](odbc::ConnectSettings& s) {
                     s.Server = "srv";
                     s.Integrated = true;
                     s.Username = "u";
                   }),
                   "Driver=FreeTDS;Server=srv;Trusted_Connection=Yes" + kFreeTdsTail},
        StringCase{"BracesWhereNeeded", FreeTds([](odbc::ConnectSettings& s) {
                     s.Server = "srv";
                     s.Database = "Jail";
                     s.Username = "u";
                     s.Password = "a;b}";
                   }),
                   "Driver=FreeTDS;Server=srv;Database=Jail;UID=u;PWD={a;b}}" + kFreeTdsTail},
        StringCase{"FreeTdsAllSettings", FreeTds([](odbc::ConnectSettings& s) {
                     s.Server = "srv";
                     s.WorkstationID = "WS1";
                     s.Language = "us_english";
                     s.PacketSize = 8192;
                     s.Encrypt = true;
                     s.AutoTranslate = false;
                     s.NetworkLibrary = "dbmssocn";
                     s.FailoverPartner = "mirror";
                     s.InitialFileName = "/data/j.mdf";
                     s.MultipleActiveResultSets = true;
                     s.TrustServerCertificate = true;
                     s.ReadOnlyIntent = true;
                   }),
                   "Driver=FreeTDS;Server=srv;UID=sa;PWD=;APP=App;WSID=WS1;Language=us_english;"
                   "PacketSize=8192;AttachDbFilename=/data/j.mdf;TDS_Version=7.4;"
                   "Encryption=require;ClientCharset=UTF-8"},
        StringCase{"MicrosoftKeepsLocal",
                   Microsoft([](odbc::ConnectSettings& s) { s.Port = 1500; }),
                   "Driver=ODBC Driver 18 for SQL Server;Server=(local),1500;UID=sa;PWD=;APP=App;"
                   "Packet Size=4096;Encrypt=no;ApplicationIntent=ReadWrite"},
        StringCase{"MicrosoftDoublesClosingBraces",
                   Microsoft([](odbc::ConnectSettings& s) { s.Password = "a;b}"; }),
                   "Driver=ODBC Driver 18 for SQL Server;Server=(local);UID=;PWD={a;b}}};"
                   "APP=App;Packet Size=4096;Encrypt=no;ApplicationIntent=ReadWrite"},
        StringCase{"MicrosoftAllSettings", Microsoft([](odbc::ConnectSettings& s) {
                     s.Server = "srv";
                     s.Integrated = true;
                     s.WorkstationID = "WS1";
                     s.Language = "us_english";
                     s.Encrypt = true;
                     s.AutoTranslate = false;
                     s.NetworkLibrary = "dbmssocn";
                     s.FailoverPartner = "mirror";
                     s.InitialFileName = "j.mdf";
                     s.MultipleActiveResultSets = true;
                     s.TrustServerCertificate = true;
                     s.ReadOnlyIntent = true;
                   }),
                   "Driver=ODBC Driver 18 for SQL Server;Server=srv;Trusted_Connection=Yes;"
                   "APP=App;WSID=WS1;Language=us_english;Packet Size=4096;"
                   "AttachDBFileName=j.mdf;Encrypt=yes;AutoTranslate=no;Network=dbmssocn;"
                   "Failover_Partner=mirror;MARS_Connection=yes;TrustServerCertificate=yes;"
                   "ApplicationIntent=ReadOnly"},
        StringCase{"OldSystemDriverHasNoNativeClientOptions",
                   Microsoft(
                       [](odbc::ConnectSettings& s) {
                         s.Server = "srv";
                         s.MultipleActiveResultSets = true;
                         s.TrustServerCertificate = true;
                         s.ReadOnlyIntent = true;
                       },
                       "SQL Server"),
                   "Driver=SQL Server;Server=srv;UID=sa;PWD=;APP=App;Packet Size=4096;"
                   "Encrypt=no"}),
    [](const auto& info) { return std::string(info.param.name); });

// The file name keeps its extension, as Windows programs have one.
TEST(ConnectionStringTest, AnEmptyApplicationNameSendsTheProgramFileName) {
#if defined(_WIN32)
  const std::string program = "connect_settings_test.exe";
#else
  const std::string program = "connect_settings_test";
#endif
  odbc::ConnectSettings settings;
  settings.Driver = "FreeTDS";
  const std::string text = odbc::ConnectionString(settings);
  EXPECT_THAT(text, HasSubstr(";APP=" + program + ";"));
  EXPECT_EQ(odbc::ProgramFileName(), program);
}

struct UncarriableCase {
  const char* name;
  odbc::ConnectSettings settings;
  std::string message;
};

void PrintTo(const UncarriableCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class UncarriableValueTest : public ::testing::TestWithParam<UncarriableCase> {};

// FreeTDS ends a braced value at its first "};" and any driver's string at a
// NUL: what followed would be read as settings of their own. The message
// names the setting, never the value, which may be a password.
TEST_P(UncarriableValueTest, IsRefusedWithoutShowingIt) {
  try {
    const std::string text = odbc::ConnectionString(GetParam().settings);
    ADD_FAILURE() << "accepted as " << text;
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), GetParam().message);
  }
}

const std::string kPasswordHoldingBraceEnd = "pw};Database=master;x={y";

INSTANTIATE_TEST_SUITE_P(
    Drivers, UncarriableValueTest,
    ::testing::Values(
        UncarriableCase{
            "FreeTdsPasswordEndingABracedValue",
            FreeTds([](odbc::ConnectSettings& s) { s.Password = kPasswordHoldingBraceEnd; }),
            "Connection setting PWD cannot be given to the FreeTDS driver: it holds \"};\""},
        UncarriableCase{"FreeTdsDatabaseEndingABracedValue",
                        FreeTds([](odbc::ConnectSettings& s) { s.Database = "j};UID=sa"; }),
                        "Connection setting Database cannot be given to the FreeTDS driver: it "
                        "holds \"};\""},
        UncarriableCase{"NulInPassword", Microsoft([](odbc::ConnectSettings& s) {
                          s.Password = std::string("pw\0;Server=elsewhere", 20);
                        }),
                        "Connection setting PWD cannot be given to the driver: it holds a NUL "
                        "character"},
        UncarriableCase{"NulInServer", FreeTds([](odbc::ConnectSettings& s) {
                          s.Server = std::string("srv\0x", 5);
                        }),
                        "Connection setting Server cannot be given to the driver: it holds a "
                        "NUL character"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConnectionStringTest, MicrosoftCarriesABraceEndInsideItsValue) {
  const odbc::ConnectSettings settings =
      Microsoft([](odbc::ConnectSettings& s) { s.Password = kPasswordHoldingBraceEnd; });
  EXPECT_THAT(odbc::ConnectionString(settings), HasSubstr(";PWD={pw}};Database=master;x={y};"));
}

}  // namespace
