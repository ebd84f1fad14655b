// The console runner installed at a site: its start-up through the
// configuration search, the site settings and the registry, the pass, and
// each start-up failure with its message and exit code.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "installed_program.h"
#include "odbc_test_connection.h"
#include "recording_proxy.h"
#include "temp_dir.h"
#include "test_certificates.h"
#include "wire_forms.h"

namespace e2e_test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

int Occurrences(const std::string& AText, const std::string& APart) {
  int count = 0;
  for (std::size_t at = AText.find(APart); at != std::string::npos;
       at = AText.find(APart, at + 1)) {
    ++count;
  }
  return count;
}

TEST(RunnerE2ETest, LooksUpTwiceBeforeThePassAndSettlesTheFlags) {
  InstalledProgram program(SYNCH_RUNNER_PATH);
  const std::filesystem::path log = program.Scratch() / "pass.log";
  const RunResult first = program.Run({"--log", log.string()});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_TRUE(std::regex_match(first.err, kCompletedPass)) << first.err;

  // The registry is read once while the components load and once when the
  // pass's first dataset connects dbJail; the jail is not touched before.
  const std::vector<std::string> trace = program.ProgramTrace();
  std::size_t firstJailStatement = trace.size();
  int lookups = 0;
  for (std::size_t i = 0; i < trace.size() && firstJailStatement == trace.size(); ++i) {
    if (NamesAJailTable(trace[i])) firstJailStatement = i;
    if (trace[i].find("FROM ConnectLib") != std::string::npos) ++lookups;
  }
  ASSERT_LT(firstJailStatement, trace.size());
  EXPECT_EQ(lookups, 2);
  EXPECT_THAT(trace[firstJailStatement], HasSubstr("CFGPROPL"));
  EXPECT_EQ(program.TraceLinesWith("FROM ConnectLib").size(), 2u);

  // One log block per container the pass found in use, each now flagged so.
  standin_test::OdbcTestConnection jail(program.Server().port(), {"sa", "", "JAIL"});
  const int inUse = std::stoi(*jail.Scalar("SELECT COUNT(*) FROM CFGPROPC WHERE AVAILABLE = 0"));
  EXPECT_GT(inUse, 0);
  EXPECT_EQ(Occurrences(first.out, " Container Status: In Use\n"), inUse);
  // The saved log is the output with CR LF, after a byte-order mark when the
  // locale's code page is UTF-8.
  std::string saved = standin_test::ReadFile(log);
  if (saved.starts_with("\xEF\xBB\xBF")) saved.erase(0, 3);
  EXPECT_EQ(saved, std::regex_replace(first.out, std::regex("\n"), "\r\n"));

  // The flags are settled: a second run decides the same, logs the same and
  // finds nothing out of date.
  const RunResult second = program.Run();
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(second.out, first.out);
  EXPECT_EQ(second.err, CompletedPass(0, 0));
}

TEST(RunnerE2ETest, AnUnreachableJailIsReportedByThePass) {
  InstalledProgram program(SYNCH_RUNNER_PATH);
  program.RegisterJail(1);
  const RunResult result = program.Run();
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_THAT(result.err, HasSubstr(" On: TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations\n"
                                    "Process Aborted\n"));
}

// A site whose registry asks for an encrypted jail session, on a server that
// forces encryption with a certificate from the site's own authority; the
// jail's connection goes through a recording proxy.
TEST(RunnerE2ETest, CompletesAPassOverAVerifiedEncryptedSession) {
  standin_test::TempDir certificates_dir;
  const standin_test::TestCertificates certificates =
      standin_test::MakeTestCertificates(certificates_dir.path());
  InstalledProgram program(SYNCH_RUNNER_PATH, {},
                           {.tls_certificate = certificates.signed_by_authority.certificate,
                            .tls_key = certificates.signed_by_authority.key,
                            .force_encryption = true});
  standin_test::RecordingProxy proxy(program.Server().port());
  program.RegisterJail(proxy.port(), ";Use Encryption for Data=True");

  // Until the site trusts its authority, the pass names why it cannot connect.
  const RunResult untrusted = program.Run();
  EXPECT_EQ(untrusted.exitCode, 2);
  EXPECT_THAT(untrusted.err, HasSubstr("was refused: the server's certificate was issued by an "
                                       "authority that is not trusted."));

  program.SetEnvironment({"SSL_CERT_FILE=" + certificates.authority.string()});
  const RunResult trusted = program.Run();
  ASSERT_EQ(trusted.exitCode, 0) << trusted.err;
  EXPECT_TRUE(std::regex_match(trusted.err, kCompletedPass)) << trusted.err;
  EXPECT_THAT(trusted.out, HasSubstr(" Container Status: In Use\n"));
  // Nothing of the jail session crossed in clear: not its login, not a
  // statement, not a value of the log.
  const std::vector<std::uint8_t> sent = proxy.clientBytes();
  EXPECT_FALSE(standin_test::Contains(sent, standin_test::Login7PasswordForm(kSiteLogin.password)));
  EXPECT_FALSE(standin_test::Contains(sent, standin_test::Utf16Le("CFGPROPL")));
  EXPECT_FALSE(standin_test::Contains(proxy.serverBytes(), standin_test::Utf16Le("AVAILABLE")));
  EXPECT_FALSE(program.TraceLinesWith("CFGPROPL").empty());
}

// The driver's trace holds the sessions' passwords and the rows read: the
// operator gets one where asked, readable by the operator alone, whatever the
// umask, and replacing what was there.
TEST(RunnerE2ETest, WritesTheDriverTraceWhereAskedForItsOwnerOnly) {
  namespace fs = std::filesystem;
  InstalledProgram program(SYNCH_RUNNER_PATH);
  standin_test::TempDir traces;  // outside the scratch folder, whose files must hold no password
  const fs::path trace = traces.path() / "driver.trace";
  std::ofstream(trace) << "an older trace\n";
  fs::permissions(trace, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                             fs::perms::others_read);

  const mode_t umask_before = ::umask(022);
  const RunResult result = program.Run({"--driver-trace", trace.string()});
  ::umask(umask_before);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(fs::status(trace).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  const std::string text = standin_test::ReadFile(trace);
  EXPECT_THAT(text, HasSubstr("CFGPROPL"));
  EXPECT_THAT(text, Not(HasSubstr("an older trace")));

  const RunResult unwritable = program.Run({"--driver-trace", traces.path().string()});
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_THAT(unwritable.err, HasSubstr("Cannot create file \"" + traces.path().string() + "\""));
}

// A site whose registry gives JAIL no connect string: the pass fails before
// any connection of its own, naming the program and the registry, instead of
// trying the local server as sa; only the registry is asked.
TEST(RunnerE2ETest, AnUnregisteredProgramIsReportedByThePass) {
  for (const char* change : {"DELETE FROM ConnectLib WHERE ProgramID = 'JAIL'",
                             "UPDATE ConnectLib SET ConnString = NULL, UseInitial = 0",
                             "UPDATE ConnectLib SET ConnString = '', UseInitial = 0"}) {
    SCOPED_TRACE(change);
    InstalledProgram program(SYNCH_RUNNER_PATH);
    standin_test::OdbcTestConnection(program.Server().port(), {"sa", "", "VANTOR"}).Exec(change);
    const std::size_t before = program.ProgramTrace().size();
    const RunResult result = program.Run();
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "No connection is registered for program JAIL in ConnectLib On: "
              "TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations\n"
              "Process Aborted\n"
              "AVAILABLE flags changed: 0 locations, 0 containers\n");
    // The registry once as the components load and once at the connect.
    const std::vector<std::string> trace = program.ProgramTrace();
    EXPECT_EQ(trace.size() - before, 2u);
    for (std::size_t i = before; i < trace.size(); ++i) {
      EXPECT_THAT(trace[i],
                  HasSubstr(" FROM ConnectLib (readuncommitted) WHERE ProgramID = 'JAIL'"));
    }
  }
}

struct StartUpFailure {
  const char* name;
  // Spoils the installation; gets the program's site.
  void (*spoil)(InstalledProgram&);
  // The error output after "Application Error: " as a pattern; "<ini>"
  // stands for the configuration file's path.
  const char* message;
};

void WriteConnStr(InstalledProgram& AProgram, const std::string& AConnStr) {
  AProgram.Site().WriteIni("[DataProvider]\r\nConnStr=" + AConnStr + "\r\n");
}

std::string SiteAt(InstalledProgram& AProgram) {
  return "Data Source=127.0.0.1;Port=" + std::to_string(AProgram.Server().port());
}

const std::string kSiteLoginEntries = standin_test::LoginEntries(kSiteLogin);

const StartUpFailure kStartUpFailures[] = {
    {"NoConfigurationFile",
     [](InstalledProgram& p) { std::filesystem::remove(p.Site().IniPath()); },
     "EIniFileException: Vantor\\.ini not found\\.\n"
     "Looked for it, in this order, at:\n  /.*/Jail/Rovane\\.ini(\n  /.*)+"},
    {"NoConnStr", [](InstalledProgram& p) { p.Site().WriteIni("[DataProvider]\r\n"); },
     "EIniFileException: Database connection information not found in <ini> "
     "\\(DataProvider\\.ConnStr\\)"},
    {"SiteDatabaseUnreachable",
     [](InstalledProgram& p) {
       WriteConnStr(p, "Data Source=127.0.0.1;Port=1;Initial Catalog=VANTOR;" + kSiteLoginEntries);
     },
     "EOLEDBError: Unable to connect: Adaptive Server is unavailable or does not exist[\\s\\S]*"},
    {"ServerStopped", [](InstalledProgram& p) { p.Server().stop(); },
     "EOLEDBError: Unable to connect: Adaptive Server is unavailable or does not exist[\\s\\S]*"},
    {"RefusedLogin",
     [](InstalledProgram& p) {
       WriteConnStr(p, SiteAt(p) + ";Initial Catalog=VANTOR;User ID=jailsync;Password=Wr0ng-8841");
     },
     "EMSError: Login failed for user 'jailsync'\\."},
    {"MissingConnectLib",
     [](InstalledProgram& p) {
       WriteConnStr(p, SiteAt(p) + ";Initial Catalog=master;" + kSiteLoginEntries);
     },
     "EMSError: Invalid object name 'ConnectLib'\\."},
    // The rest of an unquoted password with ";" in it is named by its number.
    {"SeparatorInBarePassword",
     [](InstalledProgram& p) {
       WriteConnStr(p,
                    SiteAt(p) + ";Initial Catalog=VANTOR;User ID=jailsync;Password=Qz7;Kv2-Rest");
     },
     "Exception: Connection parameter name is unknown: entry 6"},
};

void PrintTo(const StartUpFailure& AFailure, std::ostream* AOut) {
  *AOut << AFailure.name;
}

class RunnerStartUpFailureTest : public ::testing::TestWithParam<StartUpFailure> {};

TEST_P(RunnerStartUpFailureTest, EndsWithItsMessageAndOne) {
  InstalledProgram program(SYNCH_RUNNER_PATH);
  GetParam().spoil(program);
  const RunResult result = program.Run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_TRUE(std::regex_match(result.err,
                               StartUpErrorPattern(program.Site().IniPath(), GetParam().message)))
      << result.err;
  EXPECT_THAT(program.TraceLinesWith("CFGPROPL"), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(, RunnerStartUpFailureTest, ::testing::ValuesIn(kStartUpFailures),
                         [](const auto& AInfo) { return std::string(AInfo.param.name); });

// What stands in the way of the --log file, laid out below the scratch folder.
struct UnwritableLogCase {
  const char* name;
  // Lays it out below `AScratch`; gives the log's name.
  std::filesystem::path (*make)(const std::filesystem::path& AScratch);
  const char* reason;
  bool rootWritesAnyway;
};

void PrintTo(const UnwritableLogCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

const UnwritableLogCase kUnwritableLogs[] = {
    {"MissingDirectory",
     [](const std::filesystem::path& AScratch) { return AScratch / "missing" / "pass.log"; },
     "No such file or directory", false},
    {"UnderARegularFile",
     [](const std::filesystem::path& AScratch) {
       std::ofstream(AScratch / "a-file") << "not a folder";
       return AScratch / "a-file" / "pass.log";
     },
     "Not a directory", false},
    {"DirectoryWithoutWritePermission",
     [](const std::filesystem::path& AScratch) {
       std::filesystem::create_directory(AScratch / "locked");
       std::filesystem::permissions(AScratch / "locked", std::filesystem::perms(0500));
       return AScratch / "locked" / "pass.log";
     },
     "Permission denied", true},
};

class RunnerUnwritableLogTest : public ::testing::TestWithParam<UnwritableLogCase> {};

// The log is the only record of what a pass did; a pass whose log cannot be
// kept must not change a flag.
TEST_P(RunnerUnwritableLogTest, EndsWithTwoBeforeThePassTouchesTheJail) {
  if (GetParam().rootWritesAnyway && geteuid() == 0) GTEST_SKIP() << "root may write there";
  InstalledProgram program(SYNCH_RUNNER_PATH);
  const std::filesystem::path log = GetParam().make(program.Scratch());
  const RunResult result = program.Run({"--log", log.string()});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "Cannot create file \"" + log.string() + "\". " + GetParam().reason + "\n");
  std::vector<std::string> jailStatements = program.ProgramTrace();
  std::erase_if(jailStatements, [](const std::string& ALine) { return !NamesAJailTable(ALine); });
  EXPECT_THAT(jailStatements, ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(, RunnerUnwritableLogTest, ::testing::ValuesIn(kUnwritableLogs),
                         [](const auto& AInfo) { return std::string(AInfo.param.name); });

// What stands at the product folder's Vantor.Cfg of a site without Vantor.ini.
enum class ConfigFolder { kMissing, kLinkToAnEmptyFolder, kLinkToNothing };

struct NotFoundListCase {
  const char* name;
  ConfigFolder folder;
};

void PrintTo(const NotFoundListCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class RunnerNotFoundListTest : public ::testing::TestWithParam<NotFoundListCase> {};

// Whoever installs the program reads the list to learn where to put the
// file: the names are this host's, and a link such as the package's
// Vantor.Cfg -> /etc/Vantor.Cfg shows where the file would really be.
TEST_P(RunnerNotFoundListTest, NamesThePlacesAsThisHostDoes) {
  InstalledProgram program(SYNCH_RUNNER_PATH);
  const std::filesystem::path folder = program.Site().IniPath().parent_path();
  std::filesystem::remove_all(folder);
  const std::filesystem::path elsewhere = program.Scratch() / "etc" / "Vantor.Cfg";
  if (GetParam().folder == ConfigFolder::kLinkToAnEmptyFolder) {
    std::filesystem::create_directories(elsewhere);
  }
  if (GetParam().folder != ConfigFolder::kMissing) {
    std::filesystem::create_directory_symlink(elsewhere, folder);
  }

  const RunResult result = program.Run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  const std::string apps = std::filesystem::canonical(folder.parent_path()).string();
  const std::string leadsTo =
      GetParam().folder == ConfigFolder::kMissing
          ? ""
          : " (" + std::filesystem::weakly_canonical(elsewhere).string() + "/Vantor.ini)";
  const std::string list =
      "Application Error: EIniFileException: Vantor.ini not found.\n"
      "Looked for it, in this order, at:\n"
      "  " +
      apps +
      "/VANTOR.APP/Jail/Rovane.ini\n"
      "  " +
      apps + "/Vantor.Cfg/Vantor.ini" + leadsTo +
      "\n"
      "  /Vantor.Cfg/Vantor.ini\n"
      "  /Vantor.Cfg/Vantor.ini\n";
  ASSERT_THAT(result.err, StartsWith(list));
  // Then the host's other drives, if it has any.
  EXPECT_TRUE(std::regex_match(result.err.substr(list.size()),
                               std::regex("(  /mnt/[d-z]/Vantor\\.Cfg/Vantor\\.ini\n)*")))
      << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    , RunnerNotFoundListTest,
    ::testing::Values(NotFoundListCase{"NoFolder", ConfigFolder::kMissing},
                      NotFoundListCase{"LinkToAnEmptyFolder", ConfigFolder::kLinkToAnEmptyFolder},
                      NotFoundListCase{"LinkToNothing", ConfigFolder::kLinkToNothing}),
    [](const auto& AInfo) { return std::string(AInfo.param.name); });

struct SiteFileCase {
  const char* name;
  std::filesystem::perms mode;
  std::string login;  // the site file's login entries
  bool warned;
};

void PrintTo(const SiteFileCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class RunnerSiteFileTest : public ::testing::TestWithParam<SiteFileCase> {};

// A site file with a password that every user may read is worth a line
// before the pass, which runs all the same.
TEST_P(RunnerSiteFileTest, WarnsWhenOthersMayReadItsPassword) {
  InstalledProgram program(SYNCH_RUNNER_PATH);
  WriteConnStr(program, SiteAt(program) + ";Initial Catalog=VANTOR;" + GetParam().login);
  const std::filesystem::path ini = program.Site().IniPath();
  std::filesystem::permissions(ini, GetParam().mode);
  const RunResult result = program.Run();
  EXPECT_EQ(result.exitCode, 0) << result.err;
  const std::string warning = "synch-property-locations-run: warning: " + ini.string() +
                              " holds a password that other users may read; fix: chmod o-rwx '" +
                              ini.string() + "'\n";
  std::string rest = result.err;
  if (GetParam().warned) {
    EXPECT_THAT(result.err, StartsWith(warning));
    rest.erase(0, warning.size());
  }
  EXPECT_TRUE(std::regex_match(rest, kCompletedPass)) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    , RunnerSiteFileTest,
    ::testing::Values(
        SiteFileCase{"ReadableByAll", std::filesystem::perms(0644), kSiteLoginEntries, true},
        SiteFileCase{"ReadableByTheGroup", std::filesystem::perms(0640), kSiteLoginEntries, false},
        SiteFileCase{"ReadableByAllWithoutAPassword", std::filesystem::perms(0644), "User ID=sa",
                     false}),
    [](const auto& AInfo) { return std::string(AInfo.param.name); });

}  // namespace
}  // namespace e2e_test
