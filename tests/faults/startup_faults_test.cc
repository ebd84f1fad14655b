// Start-up with its session ended at each of its requests: the window's
// program entry shows the start-up error box and ends with 1 without showing
// the window; the console runner installed at the site writes the error and
// ends with 1, and a fault at the first request after start-up is the pass's.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <filesystem>
#include <iostream>
#include <regex>

#include "app/main_form.h"
#include "app/program_entry.h"
#include "child_process.h"
#include "fault_jail.h"
#include "main_window_closer.h"
#include "modal_answerer.h"
#include "reference_pass.h"
#include "temp_dir.h"

namespace faults_test {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

// "EClass: message", the start-up error's text; a lost connection's message
// gives the driver's words on the lines after its first.
const std::regex kApplicationError("E[A-Za-z]+: [^\n]+(\r?\n[^\n]+)*");

class StartUpFaultsTest : public ::testing::Test {
 protected:
  StartUpFaultsTest() {
    const std::uintmax_t mark = FJail.Server().traceSize();
    { TfrmSynchPropertyLocationsMain window(FJail.Site()); }
    for (const std::string& line : FJail.Server().traceLinesFrom(mark)) {
      FStartUp.push_back(RequestOf(line));
    }
  }

  FaultJail FJail;
  std::vector<std::string> FStartUp;  // the requests of a fault-free start-up
};

TEST_F(StartUpFaultsTest, TheWindowEndsWithItsErrorBoxAtEveryRequest) {
  ASSERT_THAT(FStartUp, ::testing::Not(IsEmpty()));
  for (std::size_t k = 1; k <= FStartUp.size(); ++k) {
    SCOPED_TRACE("request " + std::to_string(k) + ": " + FStartUp[k - 1]);
    app_test::ModalAnswerer answerer;
    // Should the window come up all the same, closing it ends the entry.
    const app_test::MainWindowCloser closer;
    FJail.Server().killAtRequest(static_cast<int>(k));
    EXPECT_EQ(SynchpropertyLocationsOnJail(*qApp, FJail.Site()), 1);
    EXPECT_FALSE(closer.Shown());
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_EQ(answerer.Boxes()[0].caption, "Application Error");
    EXPECT_TRUE(std::regex_match(answerer.Boxes()[0].text, kApplicationError))
        << answerer.Boxes()[0].text;
    std::cout << "window, start-up request " << k << " ended: " << answerer.Boxes()[0].text << "\n";
  }
}

struct RunResult {
  int exitCode;
  std::string out;
  std::string err;
};

TEST_F(StartUpFaultsTest, TheRunnerEndsWithOneAtEveryRequestAndTheFirstAfterIsThePass) {
  const standin_test::InstalledSite site(FJail.Server().port(), "synch-property-locations-run");
  std::filesystem::copy_file(SYNCH_RUNNER_PATH, site.ProgramPath());
  const standin_test::TempDir scratch;
  const auto run = [&] {
    standin_test::ChildProcess child(
        {site.ProgramPath().string()},
        {.out = scratch.path() / "out", .err = scratch.path() / "err"});
    const std::optional<int> exitCode = child.WaitFor(std::chrono::seconds(60));
    if (!exitCode) throw std::runtime_error("the runner did not end within 60 s");
    return RunResult{*exitCode, standin_test::ReadFile(scratch.path() / "out"),
                     standin_test::ReadFile(scratch.path() / "err")};
  };

  // The runner starts up as the window does.
  const std::uintmax_t mark = FJail.Server().traceSize();
  ASSERT_EQ(run().exitCode, 0);
  std::vector<std::string> sent;
  for (const std::string& line : FJail.Server().traceLinesFrom(mark)) {
    sent.push_back(RequestOf(line));
  }
  ASSERT_GT(sent.size(), FStartUp.size());
  ASSERT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + FStartUp.size()), FStartUp);

  for (std::size_t k = 1; k <= FStartUp.size(); ++k) {
    SCOPED_TRACE("request " + std::to_string(k) + ": " + FStartUp[k - 1]);
    FJail.Server().killAtRequest(static_cast<int>(k));
    const RunResult result = run();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(std::regex_match(
        result.err, std::regex("Application Error: E[A-Za-z]+: [^\n]+(\r?\n[^\n]+)*\n")))
        << result.err;
    std::cout << "runner, start-up request " << k << " ended: " << result.err;
  }

  FJail.Server().killAtRequest(static_cast<int>(FStartUp.size() + 1));
  const RunResult pass = run();
  EXPECT_EQ(pass.exitCode, 2);
  EXPECT_THAT(pass.err, HasSubstr(" On: TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations\n"
                                  "Process Aborted\n"));
}

}  // namespace
}  // namespace faults_test
