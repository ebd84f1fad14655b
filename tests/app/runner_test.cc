// The console runner beside the window: the same start-up and pass, its exit
// codes, and output equal to what the window shows and saves.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "app/console_runner.h"
#include "app/main_form.h"
#include "file_mode.h"
#include "installed_site.h"
#include "jail_server.h"
#include "modal_answerer.h"
#include "temp_dir.h"
#include "working_dir.h"

namespace app_test {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Not;
using ::testing::StartsWith;

struct RunResult {
  int exitCode;
  std::string out;
  std::string err;
};

RunResult RunRunner(const std::vector<std::string>& AArguments, const platform::Disk& ASite,
                    bool ATerminal = false) {
  std::ostringstream out;
  std::ostringstream err;
  const int exitCode = RunSynchPropertyLocations(AArguments, {out, err, ATerminal}, ASite);
  return {exitCode, out.str(), err.str()};
}

std::string WithLineFeeds(std::string AText) {
  return std::regex_replace(AText, std::regex("\r\n"), "\n");
}

class RunnerTest : public ::testing::Test {
 protected:
  JailServer jail_;
};

TEST_F(RunnerTest, ACompletedPassEndsWithZero) {
  const RunResult result = RunRunner({}, jail_.Site());
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_THAT(result.err, MatchesRegex("Property Locations Synchronization Completed\n"
                                       "AVAILABLE flags changed: [0-9]+ locations, [0-9]+ "
                                       "containers\n"));
  EXPECT_THAT(result.out, StartsWith("===========================\n"));
  EXPECT_THAT(result.err, Not(HasSubstr("\x1b")));
}

TEST_F(RunnerTest, AnAbortedPassEndsWithTwo) {
  jail_.UnregisterJail();
  const RunResult result = RunRunner({}, jail_.Site());
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_THAT(result.err, EndsWith(" On: TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations\n"
                                   "Process Aborted\n"
                                   "AVAILABLE flags changed: 0 locations, 0 containers\n"));
  EXPECT_EQ(result.out, "");
}

TEST_F(RunnerTest, TheSetBasedPassWritesTheWindowsPassLogAndEndsAlike) {
  const RunResult perContainer = RunRunner({}, jail_.Site());
  const RunResult setBased = RunRunner({"--set-based"}, jail_.Site());
  EXPECT_EQ(setBased.exitCode, 0);
  // The per-container pass has settled every flag: nothing is left to change.
  EXPECT_THAT(perContainer.err, StartsWith("Property Locations Synchronization Completed\n"));
  EXPECT_EQ(setBased.err,
            "Property Locations Synchronization Completed\n"
            "AVAILABLE flags changed: 0 locations, 0 containers\n");
  EXPECT_EQ(setBased.out, perContainer.out);
}

TEST_F(RunnerTest, AnAbortedSetBasedPassEndsWithTwo) {
  jail_.UnregisterJail();
  const RunResult result = RunRunner({"--set-based"}, jail_.Site());
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_THAT(result.err, EndsWith(" On: TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations\n"
                                   "Process Aborted\n"
                                   "AVAILABLE flags changed: 0 locations, 0 containers\n"));
  EXPECT_EQ(result.out, "");
}

TEST_F(RunnerTest, AStartUpFailureEndsWithOne) {
  const standin_test::InstalledSite site(1);
  site.WriteIni("[DataProvider]\r\n");
  const RunResult result = RunRunner({}, site);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "Application Error: EIniFileException: Database connection information not found in " +
                site.IniPath().string() + " (DataProvider.ConnStr)\n");
  EXPECT_EQ(result.out, "");
}

// A program in C:\Sites\VANTOR.APP\Jail (/Sites/VANTOR.APP/Jail) on a
// machine whose only drive, C: (/), holds no configuration file.
class NoIniDisk : public platform::Disk {
 public:
  std::string ExecutableFileName() const override {
    return "C:\\Sites\\VANTOR.APP\\Jail\\synch-property-locations-run";
  }
  std::optional<std::string> FindFile(const std::string&) const override { return std::nullopt; }
  platform::DriveType DriveTypeOf(const std::string& ARoot) const override {
    return ARoot == "C:\\" ? platform::DriveType::kFixed : platform::DriveType::kNoRootDir;
  }
};

TEST(RunnerNoIniTest, NamesThePlacesLookedAtAfterTheError) {
  const RunResult result = RunRunner({}, NoIniDisk());
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "Application Error: EIniFileException: Vantor.ini not found.\n"
            "Looked for it, in this order, at:\n"
            "  /Sites/VANTOR.APP/Jail/Rovane.ini\n"
            "  /Sites/Vantor.Cfg/Vantor.ini\n"
            "  /Vantor.Cfg/Vantor.ini\n"
            "  /Vantor.Cfg/Vantor.ini\n");
  EXPECT_EQ(result.out, "");
}

TEST_F(RunnerTest, OnATerminalTheProgressLineShowsTheLabelsAndIsClearedAtTheEnd) {
  const RunResult result = RunRunner({}, jail_.Site(), true);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_THAT(result.err, HasSubstr("] 0 Property Locations To Process Remaining | Synching"));
  EXPECT_THAT(result.err, HasSubstr("\r\x1b[KProperty Locations Synchronization Completed\n"
                                    "AVAILABLE flags changed: "));
  EXPECT_THAT(result.err, EndsWith(" containers\n"));
}

TEST_F(RunnerTest, OutputAndLogFileEqualTheWindowsLogAndItsSavedFile) {
  WorkingDir dir;
  ModalAnswerer answerer;
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  QTest::mouseClick(window.findChild<QPushButton*>("btnStart"), Qt::LeftButton);
  QTest::mouseClick(window.findChild<QPushButton*>("btnSave"), Qt::LeftButton);
  ASSERT_EQ(answerer.Boxes().size(), 1u);
  std::vector<std::filesystem::path> saved;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    saved.push_back(entry.path());
  }
  ASSERT_EQ(saved.size(), 1u);

  const RunResult result = RunRunner({"--log", "runner.log"}, jail_.Site());
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, WithLineFeeds(window.LogText()));
  EXPECT_EQ(standin_test::ReadFile("runner.log"), standin_test::ReadFile(saved[0]));
}

// The log names inmates: under the usual umask the file is still its
// owner's alone.
TEST_F(RunnerTest, OnlyTheOwnerMayReadTheLogFile) {
  WorkingDir dir;
  const ScopedUmask umask(022);
  const RunResult result = RunRunner({"--log", "runner.log"}, jail_.Site());
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(OctalMode("runner.log"), "0600");
}

// The file is made before the pass but written after it, aborted or not: an
// earlier log at the name never outlives a pass that ran.
TEST_F(RunnerTest, AnAbortedPassStillReplacesAnEarlierLog) {
  WorkingDir dir;
  std::ofstream("runner.log") << "an earlier pass's log";
  jail_.UnregisterJail();
  const RunResult result = RunRunner({"--log", "runner.log"}, jail_.Site());
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(standin_test::ReadFile("runner.log"), "");
}

// A link at the name is refused, not followed: the file it points to is
// never created. Either is found before the pass, which then does not run.
TEST_F(RunnerTest, ALogFileThatCannotBeCreatedEndsWithTwo) {
  WorkingDir dir;
  std::filesystem::create_directory("in-the-way.log");
  std::filesystem::create_symlink("elsewhere.log", "linked.log");
  for (const auto& [file, reason] :
       {std::pair{"in-the-way.log", "Is a directory"},
        std::pair{"linked.log", "Too many levels of symbolic links"}}) {
    SCOPED_TRACE(file);
    const RunResult result = RunRunner({"--log", file}, jail_.Site());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err,
              "Cannot create file \"" + (dir.path() / file).string() + "\". " + reason + "\n");
    EXPECT_EQ(result.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists("elsewhere.log"));
}

struct ArgumentsCase {
  const char* name;
  std::vector<std::string> arguments;
  int exitCode;
  const char* out;  // the beginning of the standard output
  const char* err;  // the beginning of the error output
};

// Test listings show the case by its name.
void PrintTo(const ArgumentsCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class RunnerArgumentsTest : public ::testing::TestWithParam<ArgumentsCase> {};

// A disk that no start-up may look at.
class UntouchableDisk : public platform::Disk {
 public:
  std::string ExecutableFileName() const override { throw std::logic_error("started up"); }
  std::optional<std::string> FindFile(const std::string&) const override {
    throw std::logic_error("started up");
  }
  platform::DriveType DriveTypeOf(const std::string&) const override {
    throw std::logic_error("started up");
  }
};

TEST_P(RunnerArgumentsTest, AnswersWithoutStartingUp) {
  const RunResult result = RunRunner(GetParam().arguments, UntouchableDisk());
  EXPECT_EQ(result.exitCode, GetParam().exitCode);
  EXPECT_THAT(result.out, StartsWith(GetParam().out));
  EXPECT_THAT(result.err, StartsWith(GetParam().err));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunnerArgumentsTest,
    ::testing::Values(
        ArgumentsCase{
            "Help",
            {"--help"},
            0,
            "Usage: synch-property-locations-run [--set-based] [--dry-run] [--log FILE]\n",
            ""},
        ArgumentsCase{"Version", {"--version"}, 0, "synch-property-locations-run 2.1\n", ""},
        ArgumentsCase{"Unknown",
                      {"--server=x"},
                      1,
                      "",
                      "synch-property-locations-run: unknown argument \"--server=x\"\nUsage:"},
        ArgumentsCase{"LogWithoutFile",
                      {"--log"},
                      1,
                      "",
                      "synch-property-locations-run: --log needs a file name\nUsage:"}),
    [](const auto& AInfo) { return std::string(AInfo.param.name); });

}  // namespace
}  // namespace app_test
