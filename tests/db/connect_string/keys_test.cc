// ConnectString on TMSConnection: one table of (settings before, text) ->
// (every setting afterwards, the rendering read back, the refusal's message).
#include "db/connect_string/keys.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <typeinfo>

#include "core/exception.h"
#include "db/connect_string/settings.h"
#include "db/sqlserver/connection.h"

// Failures show the settings as their rendering and the settings it leaves out.
void PrintTo(const TMSConnectionSettings& ASettings, std::ostream* AOut) {
  *AOut << "{\"" << RenderConnectString(ASettings) << "\" AutoCommit=" << ASettings.AutoCommit
        << " IsolationLevel=" << ASettings.IsolationLevel
        << " KeepDesignConnected=" << ASettings.KeepDesignConnected
        << " AllowImplicitConnect=" << ASettings.AllowImplicitConnect
        << " DisconnectedMode=" << ASettings.DisconnectedMode
        << " NativeClientVersion=" << ASettings.NativeClientVersion
        << " CompactVersion=" << ASettings.CompactVersion
        << " DefaultLockTimeout=" << ASettings.DefaultLockTimeout
        << " QuotedIdentifier=" << ASettings.QuotedIdentifier << "}";
}

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Every password in the table holds this, so no message may.
constexpr const char* kSecret = "Zx9Secr3t";

struct ConnectStringCase {
  const char* name;
  std::function<void(TMSConnection&)> start;  // the settings before; null: a new connection
  std::string text;
  // Accepted: the settings afterwards, as changes to a new connection's.
  std::function<void(TMSConnectionSettings&)> after;
  std::string rendering;  // accepted: ConnectString() afterwards
  std::string error;      // refused: the message; the settings stay as before
};

void PrintTo(const ConnectStringCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

// Settings far from the defaults, both those a key sets and those it does
// not, with LoginPrompt off as the program leaves it.
void Changed(TMSConnection& AConnection) {
  AConnection.SetLoginPrompt(false);
  AConnection.SetServer("old");
  AConnection.SetDatabase("olddb");
  AConnection.SetUsername("olduser");
  AConnection.SetPassword(std::string("old;") + kSecret + ":é");
  AConnection.SetPort(1500);
  AConnection.SetAuthentication(auWindows);
  AConnection.SetPooling(true);
  AConnection.SetPoolingOptions(
      {.MaxPoolSize = 7, .MinPoolSize = 1, .ConnectionLifetime = 9, .Validate = true});
  AConnection.SetAutoCommit(false);
  AConnection.SetIsolationLevel(ilSnapshot);
  AConnection.SetConnectionTimeout(3);
  TMSConnectionOptions& options = AConnection.Options();
  options.SetProvider(prNativeClient);
  options.SetNativeClientVersion(nc2008);
  options.SetCompactVersion(cv35);
  options.SetForceCreateDatabase(false);
  options.SetDefaultLockTimeout(-1);
  options.SetQuotedIdentifier(false);
  options.SetEncrypt(true);
  options.SetPacketSize(8192);
  options.SetLanguage("Deutsch");
  options.SetAutoTranslate(false);
  options.SetApplicationIntent(aiReadOnly);
  options.SetAllowImplicitConnect(false);
}

// What Changed() leaves after any accepted text: the settings no key resets.
void ChangedKept(TMSConnectionSettings& ASettings) {
  ASettings.AutoCommit = false;
  ASettings.IsolationLevel = ilSnapshot;
  ASettings.NativeClientVersion = nc2008;
  ASettings.CompactVersion = cv35;
  ASettings.DefaultLockTimeout = -1;
  ASettings.QuotedIdentifier = false;
  ASettings.AllowImplicitConnect = false;
}

const char* const kChangedRendering =
    "Login Prompt=False;Pooling=True;Connection LifeTime=9;Max Pool Size=7;Min Pool Size=1;"
    "Validate Connection=True;Password=old;Zx9Secr3t:é;Data Source=old;Initial Catalog=olddb;"
    "Use Encryption for Data=True;Force Create Database=False;OLEDBProvider=SQLNCLI10.1;"
    "Port=1500;User ID=olduser;Connection Timeout=3;Current Language=Deutsch;"
    "Auto Translate=False;Packet Size=8192;Application Intent=aiReadOnly;"
    "Integrated Security=SSPI";

TMSConnectionSettings NewSettings() {
  return SettingsOf(TMSConnection(nullptr));
}

class ConnectStringTest : public ::testing::TestWithParam<ConnectStringCase> {};

TEST_P(ConnectStringTest, SetsEverySettingOrNone) {
  const ConnectStringCase& c = GetParam();
  TMSConnection connection(nullptr);
  if (c.start) c.start(connection);
  const TMSConnectionSettings before = SettingsOf(connection);
  const std::string rendering_before = connection.ConnectString();
  if (c.error.empty()) {
    connection.SetConnectString(c.text);
    TMSConnectionSettings expected = NewSettings();
    if (c.after) c.after(expected);
    EXPECT_EQ(SettingsOf(connection), expected);
    EXPECT_EQ(connection.ConnectString(), c.rendering);
    return;
  }
  try {
    connection.SetConnectString(c.text);
    FAIL() << "accepted";
  } catch (const Exception& e) {
    EXPECT_EQ(typeid(e), typeid(Exception));  // not a data-access error
    EXPECT_EQ(e.Message(), c.error);
    EXPECT_THAT(e.Message(), Not(HasSubstr(kSecret)));
  }
  EXPECT_EQ(SettingsOf(connection), before);
  EXPECT_EQ(connection.ConnectString(), rendering_before);
}

const std::string kCompact30 = "MICROSOFT.SQLSERVER.MOBILE.OLEDB.3.0";

INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectStringTest,
    ::testing::Values(
        // The equality short-cut, and the reset every other text makes.
        ConnectStringCase{"EqualToRenderingChangesNothing", Changed, kChangedRendering,
                          [](TMSConnectionSettings& s) {
                            TMSConnection changed(nullptr);
                            Changed(changed);
                            s = SettingsOf(changed);
                          },
                          kChangedRendering, ""},
        ConnectStringCase{"SameSettingsSpelledOtherwiseResetLoginPrompt",
                          [](TMSConnection& c) {
                            c.SetServer("srv");
                            c.SetLoginPrompt(false);
                          },
                          "data source=srv;Login Prompt=False;",
                          [](TMSConnectionSettings& s) {
                            s.Server = "srv";
                            s.LoginPrompt = false;
                          },
                          "Login Prompt=False;Data Source=srv", ""},
        ConnectStringCase{"WithoutLoginPromptEntryPromptIsBack",
                          [](TMSConnection& c) {
                            c.SetServer("srv");
                            c.SetLoginPrompt(false);
                          },
                          "Data Source=srv", [](TMSConnectionSettings& s) { s.Server = "srv"; },
                          "Data Source=srv", ""},
        ConnectStringCase{"EmptyOnDefaultsChangesNothing", nullptr, "", nullptr, "", ""},
        ConnectStringCase{"EmptyOnChangedResetsOnlyKeySettable", Changed, "", ChangedKept, "", ""},
        ConnectStringCase{"NamesAndWorkstationAreNotReset",
                          [](TMSConnection& c) {
                            c.Options().SetApplicationName("App");
                            c.Options().SetWorkstationID("WS1");
                            c.SetServer("old");
                          },
                          "Data Source=s",
                          [](TMSConnectionSettings& s) {
                            s.ApplicationName = "App";
                            s.WorkstationID = "WS1";
                            s.Server = "s";
                          },
                          "Data Source=s;Application Name=App;Workstation ID=WS1", ""},

        // Syntax.
        ConnectStringCase{"TrimsSkipsEmptyKeepsQuotedRuns", nullptr,
                          "  Data Source = 'ab' ;; Initial Catalog=\" d b \" ;",
                          [](TMSConnectionSettings& s) {
                            s.Server = "'ab'";
                            s.Database = "d b";
                          },
                          "Data Source='ab';Initial Catalog=d b", ""},
        ConnectStringCase{"DoubleQuotedRunKeepsSemicolon", nullptr, "User ID=\"x;y\";Port=1",
                          [](TMSConnectionSettings& s) {
                            s.Username = "x;y";
                            s.Port = 1;
                          },
                          "Port=1;User ID=x;y", ""},
        ConnectStringCase{"OneDoubleQuoteIsAValue", nullptr, "Data Source=\"",
                          [](TMSConnectionSettings& s) { s.Server = "\""; }, "Data Source=\"", ""},
        ConnectStringCase{"EmptyName", Changed, "Data Source=a; =b", nullptr, "",
                          "Connection parameter name missing"},
        ConnectStringCase{"UnknownName", Changed, "DataSource=a", nullptr, "",
                          "Connection parameter name is unknown: DataSource"},
        ConnectStringCase{"EntryWithoutEqualsHasEmptyValue",
                          [](TMSConnection& c) { c.SetServer("old"); }, "Data Source;Port=2",
                          [](TMSConnectionSettings& s) { s.Port = 2; }, "Port=2", ""},
        ConnectStringCase{"SingleQuotedRunKeepsSemicolonButIsChecked", Changed, "Data Source='a;b'",
                          nullptr, "",
                          "Invalid character ';' in non-quoted connection parameter value"},

        // The character check.
        ConnectStringCase{"ColonRefused", Changed, "Data Source=a:b", nullptr, "",
                          "Invalid character ':' in non-quoted connection parameter value"},
        ConnectStringCase{"ColonInDoubleQuotes", nullptr, "Data Source=\"a:b\"",
                          [](TMSConnectionSettings& s) { s.Server = "a:b"; }, "Data Source=a:b",
                          ""},
        ConnectStringCase{"ColonInSingleQuotesRefused", Changed, "Data Source='a:b'", nullptr, "",
                          "Invalid character ':' in non-quoted connection parameter value"},
        ConnectStringCase{"NonAsciiLetterNamedWhole", Changed, "Data Source=Zürich", nullptr, "",
                          "Invalid character 'ü' in non-quoted connection parameter value"},
        ConnectStringCase{"BracketRefused", Changed, "Initial Catalog=[jail]", nullptr, "",
                          "Invalid character '[' in non-quoted connection parameter value"},
        ConnectStringCase{
            "PasswordExempt", nullptr, std::string("PWD=a=[") + kSecret + "]:é'",
            [](TMSConnectionSettings& s) { s.Password = std::string("a=[") + kSecret + "]:é'"; },
            std::string("Password=a=[") + kSecret + "]:é'", ""},
        ConnectStringCase{
            "BareRangesAccepted", nullptr, "Data Source=AZaz09 !\"#$%&'()*+,-./@\\_|",
            [](TMSConnectionSettings& s) { s.Server = "AZaz09 !\"#$%&'()*+,-./@\\_|"; },
            "Data Source=AZaz09 !\"#$%&'()*+,-./@\\_|", ""},

        // Names: letter case, duplicates, synonyms.
        ConnectStringCase{"DuplicateInOtherCase", Changed, "Data Source=a;data source=b", nullptr,
                          "", "Connection parameter cannot be added twice: data source"},
        ConnectStringCase{"DuplicatePasswordNumbered", Changed,
                          std::string("Password=") + kSecret + ";PASSWORD=" + kSecret, nullptr, "",
                          "Connection parameter cannot be added twice: entry 2"},
        ConnectStringCase{"SynonymsLaterWins", nullptr, "Server=a;Data Source=b",
                          [](TMSConnectionSettings& s) { s.Server = "b"; }, "Data Source=b", ""},

        // Integrated security.
        ConnectStringCase{"IntegratedSspi", nullptr, "Integrated Security=SSPI",
                          [](TMSConnectionSettings& s) { s.Authentication = auWindows; },
                          ";Integrated Security=SSPI", ""},
        ConnectStringCase{"IntegratedLowerCaseSspiRefused", Changed,
                          std::string("Integrated Security=sspi;PWD=") + kSecret, nullptr, "",
                          "Bad connection parameter value: Integrated Security=sspi"},
        ConnectStringCase{"IntegratedTrue", nullptr, "Trusted_Connection=true",
                          [](TMSConnectionSettings& s) { s.Authentication = auWindows; },
                          ";Integrated Security=SSPI", ""},
        ConnectStringCase{"IntegratedFalse", Changed, "Integrated Security=false", ChangedKept, "",
                          ""},
        ConnectStringCase{"IntegratedAppliedAfterLastEntry", nullptr,
                          "Integrated Security=SSPI;Data Source=srv",
                          [](TMSConnectionSettings& s) {
                            s.Authentication = auWindows;
                            s.Server = "srv";
                          },
                          "Data Source=srv;Integrated Security=SSPI", ""},
        ConnectStringCase{"IntegratedLaterSynonymWins", nullptr,
                          "Integrated Security=SSPI;Trusted_Connection=0", nullptr, "", ""},

        // Provider strings.
        ConnectStringCase{"NoProviderEntryIsAuto", Changed, "Data Source=s",
                          [](TMSConnectionSettings& s) {
                            ChangedKept(s);
                            s.Server = "s";
                          },
                          "Data Source=s", ""},
        ConnectStringCase{"ProviderSqlOleDb", Changed, "Provider=sqloledb.1",
                          [](TMSConnectionSettings& s) {
                            ChangedKept(s);
                            s.Provider = prSQL;
                          },
                          "OLEDBProvider=SQLOLEDB.1", ""},
        ConnectStringCase{"ProviderNativeClient", Changed, "OLEDBProvider=SQLNCLI.1",
                          [](TMSConnectionSettings& s) {
                            ChangedKept(s);
                            s.Provider = prNativeClient;
                            s.NativeClientVersion = ncAuto;
                          },
                          "OLEDBProvider=SQLNCLI.1", ""},
        ConnectStringCase{"ProviderNativeClient10", nullptr, "Provider=SQLNCLI10.1",
                          [](TMSConnectionSettings& s) {
                            s.Provider = prNativeClient;
                            s.NativeClientVersion = nc2008;
                          },
                          "OLEDBProvider=SQLNCLI10.1", ""},
        ConnectStringCase{"ProviderNativeClient11", Changed, "Provider=SqlNcli11.1",
                          [](TMSConnectionSettings& s) {
                            ChangedKept(s);
                            s.Provider = prNativeClient;
                            s.NativeClientVersion = nc2012;
                          },
                          "OLEDBProvider=SQLNCLI11.1", ""},
        ConnectStringCase{"ProviderCompact30DataSourceIsDatabase", nullptr,
                          "Provider=" + kCompact30 + ";Data Source=jail.sdf",
                          [](TMSConnectionSettings& s) {
                            s.Provider = prCompact;
                            s.CompactVersion = cv30;
                            s.Database = "jail.sdf";
                          },
                          "Initial Catalog=jail.sdf;OLEDBProvider=" + kCompact30, ""},
        ConnectStringCase{
            "ProviderCompact35", Changed,
            "Force Create Database=false;Provider=Microsoft.SQLServer.Mobile.OLEDB.3.5",
            [](TMSConnectionSettings& s) {
              ChangedKept(s);
              s.Provider = prCompact;
              s.CompactVersion = cv35;
              s.ForceCreateDatabase = false;
            },
            "Force Create Database=False;"
            "OLEDBProvider=MICROSOFT.SQLSERVER.MOBILE.OLEDB.3.5",
            ""},
        ConnectStringCase{"ProviderCompact40", Changed,
                          "Provider=MICROSOFT.SQLSERVER.MOBILE.OLEDB.4.0",
                          [](TMSConnectionSettings& s) {
                            ChangedKept(s);
                            s.Provider = prCompact;
                            s.CompactVersion = cv40;
                          },
                          "OLEDBProvider=MICROSOFT.SQLSERVER.MOBILE.OLEDB.4.0", ""},
        ConnectStringCase{"ProviderUnknown", Changed, "Provider=MSOLEDBSQL", nullptr, "",
                          "Bad connection parameter value: Provider=MSOLEDBSQL"},
        ConnectStringCase{"ProviderWithoutVersionSuffix", Changed, "OLEDBProvider=SQLNCLI11",
                          nullptr, "", "Bad connection parameter value: OLEDBProvider=SQLNCLI11"},

        // Values: Booleans, integers, the intent, the ignored keys.
        ConnectStringCase{"BooleansByWordOrNumber", nullptr,
                          "Pooling=TRUE;Encrypt=-0.5e3;Auto Translate=0;MARS=false;"
                          "Trust Server Certificate=1",
                          [](TMSConnectionSettings& s) {
                            s.Pooling = true;
                            s.Encrypt = true;
                            s.AutoTranslate = false;
                            s.TrustServerCertificate = true;
                          },
                          "Pooling=True;Use Encryption for Data=True;Auto Translate=False;"
                          "Trust Server Certificate=True",
                          ""},
        ConnectStringCase{"BooleanWordRefused", Changed, "Pooling=yes", nullptr, "",
                          "'yes' is not a valid boolean value"},
        ConnectStringCase{"BooleanEmptyRefused", Changed, "Login Prompt=", nullptr, "",
                          "'' is not a valid boolean value"},
        ConnectStringCase{"IntegerRefused", Changed, "Port=14x3", nullptr, "",
                          "'14x3' is not a valid integer value"},
        ConnectStringCase{"IntegerOverflowRefused", Changed, "Packet Size=4294967296", nullptr, "",
                          "'4294967296' is not a valid integer value"},
        ConnectStringCase{"IntegerNotHex", Changed, "Connect Timeout=0x10", nullptr, "",
                          "'0x10' is not a valid integer value"},
        ConnectStringCase{"IntegersSigned", nullptr, "Port=+1500;ConnectTimeout=-1",
                          [](TMSConnectionSettings& s) {
                            s.Port = 1500;
                            s.ConnectionTimeout = -1;
                          },
                          "Port=1500;Connection Timeout=-1", ""},
        ConnectStringCase{"IntentReadOnly", nullptr, "Application Intent=aiReadOnly",
                          [](TMSConnectionSettings& s) { s.ApplicationIntent = aiReadOnly; },
                          "Application Intent=aiReadOnly", ""},
        ConnectStringCase{"IntentOtherValueIsNone", nullptr,
                          "ApplicationIntent=aiReadOnly;Application Intent=ReadOnly", nullptr, "",
                          ""},
        ConnectStringCase{"IgnoredKeys", nullptr,
                          "Use Procedure for Prepare=1;Asynchronous Connection=x;"
                          "Client Failover=\"a:b\";Tag with column collation when possible=0",
                          nullptr, "", ""},
        ConnectStringCase{"PoolSettingsStoredAndRendered", nullptr,
                          "Validate Connection=1;MinPoolSize=2;Max Pool Size=50;Pooling=true;"
                          "ConnectionLifeTime=30",
                          [](TMSConnectionSettings& s) {
                            s.Pooling = true;
                            s.PoolingOptions = {.MaxPoolSize = 50,
                                                .MinPoolSize = 2,
                                                .ConnectionLifetime = 30,
                                                .Validate = true};
                          },
                          "Pooling=True;Connection LifeTime=30;Max Pool Size=50;Min Pool Size=2;"
                          "Validate Connection=True",
                          ""},
        ConnectStringCase{"EveryRenderedKeyInOrder", nullptr,
                          "Application Intent=aiReadOnly;Trust Server Certificate=1;"
                          "Failover_Partner=fp;MARS Connection=1;InitFileName=f.mdf;PacketSize=512;"
                          "WSID=ws;AppName=app;Net=dbmssocn;AutoTranslate=0;"
                          "PersistSecurityInfo=1;Language=us_english;Connection Timeout=30;"
                          "UID=sa;Port=1444;Force Create Database=0;Encryption=1;Database=jail;"
                          "Address=srv;Password=pw;Validate Connection=1;Min Pool Size=1;"
                          "Max Pool Size=2;Connection LifeTime=3;Pooling=1;LoginPrompt=0",
                          [](TMSConnectionSettings& s) {
                            s.ApplicationIntent = aiReadOnly;
                            s.TrustServerCertificate = true;
                            s.FailoverPartner = "fp";
                            s.MultipleActiveResultSets = true;
                            s.InitialFileName = "f.mdf";
                            s.PacketSize = 512;
                            s.WorkstationID = "ws";
                            s.ApplicationName = "app";
                            s.NetworkLibrary = "dbmssocn";
                            s.AutoTranslate = false;
                            s.PersistSecurityInfo = true;
                            s.Language = "us_english";
                            s.ConnectionTimeout = 30;
                            s.Username = "sa";
                            s.Port = 1444;
                            s.ForceCreateDatabase = false;
                            s.Encrypt = true;
                            s.Database = "jail";
                            s.Server = "srv";
                            s.Password = "pw";
                            s.PoolingOptions = {.MaxPoolSize = 2,
                                                .MinPoolSize = 1,
                                                .ConnectionLifetime = 3,
                                                .Validate = true};
                            s.Pooling = true;
                            s.LoginPrompt = false;
                          },
                          "Login Prompt=False;Pooling=True;Connection LifeTime=3;Max Pool Size=2;"
                          "Min Pool Size=1;Validate Connection=True;Password=pw;Data Source=srv;"
                          "Initial Catalog=jail;Use Encryption for Data=True;"
                          "Force Create Database=False;Port=1444;User ID=sa;"
                          "Connection Timeout=30;Current Language=us_english;"
                          "Persist Security Info=True;Auto Translate=False;"
                          "Network Library=dbmssocn;Application Name=app;Workstation ID=ws;"
                          "Packet Size=512;AttachDBFileName=f.mdf;MultipleActiveResultSets=True;"
                          "Failover Partner=fp;Trust Server Certificate=True;"
                          "Application Intent=aiReadOnly",
                          ""},

        // After a password entry: an unquoted password may go on past ";", so
        // every later entry may be the rest of it and is named by its number.
        ConnectStringCase{"UnknownNameAfterBarePassword", Changed,
                          std::string("Data Source=s;Password=ab;") + kSecret + ";Port=1", nullptr,
                          "", "Connection parameter name is unknown: entry 3"},
        ConnectStringCase{"UnknownNameWithValueAfterPassword", Changed,
                          std::string("pwd=ab;") + kSecret + "=cd", nullptr, "",
                          "Connection parameter name is unknown: entry 2"},
        ConnectStringCase{"NotOnlyTheNextEntry", Changed,
                          std::string("Password=ab;Port=1;") + kSecret, nullptr, "",
                          "Connection parameter name is unknown: entry 3"},
        ConnectStringCase{"BlankEntriesNotCounted", Changed,
                          std::string(";Password=ab;; ;") + kSecret, nullptr, "",
                          "Connection parameter name is unknown: entry 2"},
        ConnectStringCase{"AfterQuotedPasswordToo", Changed,
                          std::string("Password=\"ab\";") + kSecret, nullptr, "",
                          "Connection parameter name is unknown: entry 2"},
        ConnectStringCase{"DuplicateAfterPassword", Changed,
                          std::string("Data Source=s;PWD=ab;Data Source=") + kSecret, nullptr, "",
                          "Connection parameter cannot be added twice: entry 3"},
        ConnectStringCase{"BadProviderAfterPassword", Changed,
                          std::string("Password=ab;Provider=") + kSecret, nullptr, "",
                          "Bad connection parameter value: entry 2"},
        ConnectStringCase{"BadIntegratedAfterPassword", Changed,
                          std::string("Password=ab;Integrated Security=") + kSecret, nullptr, "",
                          "Bad connection parameter value: entry 2"},
        ConnectStringCase{"InvalidCharacterAfterPassword", Changed,
                          std::string("Password=ab;Data Source=") + kSecret + ":", nullptr, "",
                          "Invalid character in non-quoted connection parameter value: entry 2"},
        ConnectStringCase{"BooleanAfterPassword", Changed,
                          std::string("Password=ab;Pooling=") + kSecret, nullptr, "",
                          "The value of entry 2 is not a valid boolean value"},
        ConnectStringCase{"IntegerAfterPassword", Changed,
                          std::string("Password=ab;Max Pool Size=") + kSecret, nullptr, "",
                          "The value of entry 2 is not a valid integer value"},
        ConnectStringCase{"EmptyNameAfterPasswordKeepsItsMessage", Changed,
                          std::string("Password=ab;=") + kSecret, nullptr, "",
                          "Connection parameter name missing"},
        ConnectStringCase{"BeforeThePasswordShown", Changed,
                          std::string("Frobnicate=1;Password=") + kSecret, nullptr, "",
                          "Connection parameter name is unknown: Frobnicate"},

        // A refused text after one whose values only double quotes allowed:
        // the old rendering would not parse back, the settings come back whole.
        ConnectStringCase{"RestoreKeepsValuesThatNeededQuotes",
                          [](TMSConnection& c) {
                            c.SetConnectString(std::string("Data Source=\"a:b\";Password=\"x;") +
                                               kSecret + "\"");
                            c.SetLoginPrompt(false);
                          },
                          "Data Source=c;Port=x", nullptr, "", "'x' is not a valid integer value"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
