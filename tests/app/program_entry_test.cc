// The program entry: the message loop until the window closes, and each
// start-up failure of a site: its error box and exit code.
#include "app/program_entry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <filesystem>
#include <regex>
#include <string>

#include "installed_site.h"
#include "jail_server.h"
#include "main_window_closer.h"
#include "modal_answerer.h"
#include "standin_server.h"

namespace app_test {
namespace {

using ::testing::ElementsAre;

TEST(ProgramEntryTest, RunsUntilTheWindowIsClosedAndEndsWithZero) {
  const JailServer jail;
  const MainWindowCloser closer;
  EXPECT_EQ(SynchpropertyLocationsOnJail(*qApp, jail.Site()), 0);
  EXPECT_TRUE(closer.Shown());
  EXPECT_EQ(QApplication::applicationName(), "Synch Property Locations");
  EXPECT_EQ(QGuiApplication::desktopFileName(), "synch-property-locations");
}

struct StartUpFailure {
  const char* name;
  // Spoils the site around a stand-in whose registry gives "JAIL".
  void (*spoil)(const standin_test::InstalledSite&, int APort);
  // The error box's text as a pattern; "<ini>" stands for Vantor.ini's path.
  const char* text;
};

void PrintTo(const StartUpFailure& AFailure, std::ostream* AOut) {
  *AOut << AFailure.name;
}

void WriteConnStr(const standin_test::InstalledSite& ASite, const std::string& AConnStr) {
  ASite.WriteIni("[DataProvider]\r\nConnStr=" + AConnStr + "\r\n");
}

std::string At(int APort) {
  return "Data Source=127.0.0.1;Port=" + std::to_string(APort);
}

class ProgramEntryFailureTest : public ::testing::TestWithParam<StartUpFailure> {};

TEST_P(ProgramEntryFailureTest, EndsWithOneAfterTheErrorBoxWithoutShowingTheWindow) {
  standin_test::StandinServer server;
  standin_test::CreateSiteDatabase(server.port());
  const standin_test::InstalledSite site(server.port());
  GetParam().spoil(site, server.port());
  ModalAnswerer answerer;
  EXPECT_EQ(SynchpropertyLocationsOnJail(*qApp, site), 1);
  ASSERT_EQ(answerer.Boxes().size(), 1u);
  EXPECT_EQ(answerer.Boxes()[0].caption, "Application Error");
  const std::string ini = std::regex_replace(site.IniPath().string(), std::regex("[.]"), "\\.");
  EXPECT_TRUE(
      std::regex_match(answerer.Boxes()[0].text,
                       std::regex(std::regex_replace(GetParam().text, std::regex("<ini>"), ini))))
      << answerer.Boxes()[0].text;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    EXPECT_NE(window->objectName(), "frmSynchPropertyLocationsMain");
  }
}

INSTANTIATE_TEST_SUITE_P(
    , ProgramEntryFailureTest,
    ::testing::Values(
        StartUpFailure{
            "NoConfigurationFile",
            [](const standin_test::InstalledSite& s, int) { std::filesystem::remove(s.IniPath()); },
            "EIniFileException: Vantor\\.ini not found\\."},
        StartUpFailure{
            "NoConnStr",
            [](const standin_test::InstalledSite& s, int) { s.WriteIni("[DataProvider]\r\n"); },
            "EIniFileException: Database connection information not found in <ini> "
            "\\(DataProvider\\.ConnStr\\)"},
        StartUpFailure{"SiteDatabaseUnreachable",
                       [](const standin_test::InstalledSite& s, int) {
                         WriteConnStr(s, At(1) + ";Initial Catalog=VANTOR;User ID=sa");
                       },
                       "EOLEDBError: Unable to connect: [\\s\\S]*"},
        StartUpFailure{"RefusedLogin",
                       [](const standin_test::InstalledSite& s, int APort) {
                         WriteConnStr(s, At(APort) + ";Initial Catalog=VANTOR;User ID=nobody");
                       },
                       "EMSError: Login failed for user 'nobody'\\."},
        StartUpFailure{"MissingConnectLib",
                       [](const standin_test::InstalledSite& s, int APort) {
                         WriteConnStr(s, At(APort) + ";Initial Catalog=master;User ID=sa");
                       },
                       "EMSError: Invalid object name 'ConnectLib'\\."}),
    [](const auto& AInfo) { return std::string(AInfo.param.name); });

}  // namespace
}  // namespace app_test
