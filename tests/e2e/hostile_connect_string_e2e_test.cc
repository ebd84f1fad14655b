// The jail's connect string as the site registry may hold it, written by hand
// or by someone who means harm: quotes, separators and braces in values,
// repeated and unknown keys, very long, non-ASCII and control characters,
// and entries that try to redirect the connection. The pass either runs over
// the jail the string names or stops with a clear message.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "installed_program.h"
#include "odbc_test_connection.h"

namespace e2e_test {
namespace {

// Logins whose passwords hold what connect strings treat specially.
const standin_test::Login kSeparatorsLogin{"separators", "Pw;Data Source=10.255.255.1;x=", ""};
const standin_test::Login kQuotesLogin{"quotes", "O'Hara-[pw]%=x", ""};
const standin_test::Login kDoubleQuotesLogin{"dquotes", "Say\"Hi\"-[pw]%", ""};
const standin_test::Login kBracesLogin{"braces", "Pw}x{y}", ""};
const standin_test::Login kPrefixLogin{"prefix", "Pw5-Prefix", ""};
const standin_test::Login kNonAsciiLogin{"nonascii", "P\xC3\xA4sswort-\xE2\x82\xAC", ""};

struct HostileConnectString {
  const char* name;
  // "{server}" stands for "Data Source=127.0.0.1;Port=<the stand-in's port>".
  std::optional<std::string> connString;
  int exitCode;
  // The error output, a pattern; empty when the pass completes.
  std::string message;
  std::optional<bool> useInitial = false;
};

const std::string kSite = standin_test::LoginEntries(kSiteLogin);
const std::string kJail = "{server};Initial Catalog=JAIL;";
const std::string kAborted =
    " On: TfrmSynchPropertyLocationsMain\\.GoSynchPropertyLocations\nProcess Aborted\n"
    "AVAILABLE flags changed: 0 locations, 0 containers\n";

std::string Quoted(const std::string& AValue) {
  return "\"" + AValue + "\"";
}

std::string StartUpError(const std::string& AMessage) {
  return "Application Error: Exception: " + AMessage + "\n";
}

const HostileConnectString kCases[] = {
    {"Plain", kJail + kSite, 0, ""},
    {"KeysInOtherCase",
     "data source=127.0.0.1;PORT={port};initial catalog=JAIL;USER ID=jailsync;pAsSwOrD=" +
         kSiteLogin.password,
     0, ""},
    {"BlanksAndEmptyEntries",
     " ;; Data Source = 127.0.0.1 ; Port = {port} ;;; Initial Catalog = JAIL ; " + kSite + " ;;", 0,
     ""},
    {"RepeatedKey", "Initial Catalog=master;" + kJail + kSite, 1,
     StartUpError("Connection parameter cannot be added twice: Initial Catalog")},
    // Entries after the password may be the rest of an unquoted one with ";"
    // in it: messages name them by number (the password is the 5th entry).
    {"PasswordGivenTwice", kJail + kSite + ";password=Second-Pw-771", 1,
     StartUpError("Connection parameter cannot be added twice: entry 6")},
    {"PasswordSynonymLaterCounts", kJail + kSite + ";PWD=Second-Pw-772", 2,
     "dbJail: Login failed for user 'jailsync'\\." + kAborted},
    {"DataSourceAfterThePassword", kJail + kSite + ";Data Source=127.0.0.1;Port=1", 1,
     StartUpError("Connection parameter cannot be added twice: entry 6")},
    {"SeparatorInBarePassword", kJail + "User ID=jailsync;Password=Qz7;Kv2-Rest-Of-It", 1,
     StartUpError("Connection parameter name is unknown: entry 6")},
    {"SeparatorsInBarePassword", kJail + "User ID=separators;Password=" + kSeparatorsLogin.password,
     1, StartUpError("Connection parameter cannot be added twice: entry 6")},
    {"SeparatorsInQuotedPassword",
     kJail + "User ID=separators;Password=" + Quoted(kSeparatorsLogin.password), 0, ""},
    {"QuotesAndBracketsInQuotedPassword",
     kJail + "User ID=quotes;Password=" + Quoted(kQuotesLogin.password), 0, ""},
    {"DoubleQuotesInBarePassword",
     kJail + "User ID=dquotes;Password=" + kDoubleQuotesLogin.password, 0, ""},
    {"NonAsciiPassword", kJail + "User ID=nonascii;Password=" + kNonAsciiLogin.password, 0, ""},
    {"BracesInPassword", kJail + "User ID=braces;Password=" + kBracesLogin.password, 0, ""},
    // Without its refusal FreeTDS would log in as "prefix" to master.
    {"PasswordThatEndsABracedValue",
     kJail + "User ID=prefix;Password=" + Quoted(kPrefixLogin.password + "};Database=master;x={y"),
     2,
     "Connection setting PWD cannot be given to the FreeTDS driver: it holds \"[}];\"" + kAborted},
    {"WrongPassword", kJail + "User ID=jailsync;Password=Wr0ng-Jail-Pw", 2,
     "dbJail: Login failed for user 'jailsync'\\." + kAborted},
    {"ControlCharacterInsidePassword",
     kJail + "User ID=jailsync;Password=Qz7\x01" + kSiteLogin.password.substr(3), 2,
     "dbJail: Login failed for user 'jailsync'\\." + kAborted},
    // Control characters at either end are blanks, as a connect string trims.
    {"ControlCharacterEndingPassword",
     kJail + "User ID=jailsync;Password=" + kSiteLogin.password + "\x01", 0, ""},
    {"InjectedProvider", "Provider=MSDASQL;" + kJail + kSite, 1,
     StartUpError("Bad connection parameter value: Provider=MSDASQL")},
    {"KnownProvider", "Provider=SQLOLEDB.1;" + kJail + kSite, 0, ""},
    {"UnknownKey", kJail + kSite + ";Frobnicate=1", 1,
     StartUpError("Connection parameter name is unknown: entry 6")},
    {"EntryWithoutEquals", kJail + kSite + ";JustAName", 1,
     StartUpError("Connection parameter name is unknown: entry 6")},
    // The registry's empty overlay removes the first entry without a name.
    {"OneEntryWithoutAName", kJail + kSite + ";===", 0, ""},
    {"TwoEntriesWithoutNames", kJail + kSite + ";=a;=b", 1,
     StartUpError("Connection parameter name missing")},
    {"DoubledEqualsInValue", "Data Source==127.0.0.1;Port={port};Initial Catalog=JAIL;" + kSite, 1,
     StartUpError("Invalid character '=' in non-quoted connection parameter value")},
    {"UnterminatedQuote", kJail + kSite + ";Application Name=\"open", 0, ""},
    {"LongQuotedValue", kJail + kSite + ";Application Name=" + Quoted(std::string(600, 'a')), 0,
     ""},
    {"NonAsciiQuotedValue", kJail + kSite + ";Application Name=\"Ge\xC3\xB4le \xE2\x82\xAC\"", 0,
     ""},
    {"NonAsciiBareValue", kJail + kSite + ";Application Name=Ge\xC3\xB4le", 1,
     StartUpError("Invalid character in non-quoted connection parameter value: entry 6")},
    {"NonAsciiBareValueBeforeThePassword", kJail + "Application Name=Ge\xC3\xB4le;" + kSite, 1,
     StartUpError("Invalid character '\xC3\xB4' in non-quoted connection parameter value")},
    {"ControlCharacterInValue",
     kJail + kSite +
         ";Workstation ID=ab\x01"
         "c",
     1, StartUpError("Invalid character in non-quoted connection parameter value: entry 6")},
    // The row's other columns.
    // No connect string: refused, never the driver's default server.
    {"NullConnString", std::nullopt, 2,
     "No connection is registered for program JAIL in ConnectLib" + kAborted},
    {"NullUseInitial", kJail + kSite, 0, "", std::nullopt},
    // The site's own connect string, which names the site database.
    {"UseInitialWithNullConnString", std::nullopt, 2,
     "tblCFGPropertyLocation: Invalid object name 'CFGPROPL'\\." + kAborted, true},
    {"UnknownDatabase", "{server};Initial Catalog=\"JA'IL]\";" + kSite, 2,
     "dbJail: Login failed for user 'jailsync'\\.\r\nCannot open database \"JA'IL\\]\" requested "
     "by "
     "the login\\. The login failed\\." +
         kAborted},
};

void PrintTo(const HostileConnectString& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

std::string Expanded(std::string AText, int APort) {
  AText =
      std::regex_replace(AText, std::regex("\\{server\\}"), "Data Source=127.0.0.1;Port={port}");
  return std::regex_replace(AText, std::regex("\\{port\\}"), std::to_string(APort));
}

// The program at a site whose registry row for "JAIL" is the case's.
class HostileConnectStringTest : public ::testing::TestWithParam<HostileConnectString> {
 protected:
  std::unique_ptr<InstalledProgram> Install(const char* AExecutable) {
    auto program = std::make_unique<InstalledProgram>(
        AExecutable, std::vector{kSeparatorsLogin, kQuotesLogin, kDoubleQuotesLogin, kBracesLogin,
                                 kPrefixLogin, kNonAsciiLogin});
    const int port = program->Server().port();
    standin_test::OdbcTestConnection site(port, {"sa", "", "VANTOR"});
    const auto& connString = GetParam().connString;
    const auto& useInitial = GetParam().useInitial;
    site.Exec("UPDATE ConnectLib SET ConnString = ?, UseInitial = ? WHERE ProgramID = 'JAIL'",
              {connString ? standin_test::SqlParam::VarChar(Expanded(*connString, port))
                          : standin_test::SqlParam::Null(SQL_VARCHAR),
               useInitial ? standin_test::SqlParam::Bit(*useInitial)
                          : standin_test::SqlParam::Null(SQL_BIT)});
    return program;
  }
};

TEST_P(HostileConnectStringTest, RunsOverTheJailOrStopsClearly) {
  const std::unique_ptr<InstalledProgram> program = Install(SYNCH_RUNNER_PATH);
  const RunResult result = program->Run();
  EXPECT_EQ(result.exitCode, GetParam().exitCode) << result.err;
  if (GetParam().exitCode == 0) {
    EXPECT_TRUE(std::regex_match(result.err, kCompletedPass)) << result.err;
    EXPECT_FALSE(program->TraceLinesWith("UPDATE CFGPROPL").empty());
  } else {
    EXPECT_TRUE(std::regex_match(result.err, std::regex(GetParam().message))) << result.err;
    EXPECT_THAT(program->TraceLinesWith("UPDATE CFGPROPL"), ::testing::IsEmpty());
  }
}

// The window looks the row up while it starts and shows a refused string in
// a box that waits for the operator: up either way, the jail untouched.
TEST_P(HostileConnectStringTest, LeavesTheWindowUp) {
  const std::unique_ptr<InstalledProgram> program = Install(SYNCH_WINDOW_PATH);
  std::unique_ptr<standin_test::ChildProcess> window = program->Start();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (program->TraceLinesWith("FROM ConnectLib").empty() &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));
  EXPECT_FALSE(window->WaitFor(std::chrono::milliseconds(0)).has_value())
      << "the window program ended by itself";
  EXPECT_EQ(program->TraceLinesWith("FROM ConnectLib").size(), 1u);
  for (const std::string& line : program->ProgramTrace()) {
    EXPECT_FALSE(NamesAJailTable(line)) << line;
  }
  window->Signal(SIGTERM);
  window->WaitFor(std::chrono::seconds(10));
}

INSTANTIATE_TEST_SUITE_P(, HostileConnectStringTest, ::testing::ValuesIn(kCases),
                         [](const auto& AInfo) { return std::string(AInfo.param.name); });

}  // namespace
}  // namespace e2e_test
