// The program entry: the message loop until the window closes, and an error
// while the window is created.
#include "app/program_entry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "installed_site.h"
#include "jail_server.h"
#include "modal_answerer.h"

namespace app_test {
namespace {

using ::testing::ElementsAre;

TEST(ProgramEntryTest, RunsUntilTheWindowIsClosedAndEndsWithZero) {
  const JailServer jail;
  bool shown = false;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->objectName() == "frmSynchPropertyLocationsMain" && window->isVisible()) {
        shown = true;
        window->close();
      }
    }
  });
  closer.start(5);
  EXPECT_EQ(SynchpropertyLocationsOnJail(*qApp, jail.Site()), 0);
  EXPECT_TRUE(shown);
  EXPECT_EQ(QApplication::applicationName(), "Synch Property Locations");
}

TEST(ProgramEntryTest, AnErrorWhileCreatingTheWindowEndsWithOneAfterTheErrorBox) {
  ModalAnswerer answerer;
  const standin_test::InstalledSite site(1);
  site.WriteIni("[DataProvider]\r\n");
  const int exitCode = SynchpropertyLocationsOnJail(*qApp, site);
  EXPECT_EQ(exitCode, 1);
  EXPECT_THAT(answerer.Boxes(),
              ElementsAre(Box{"Application Error",
                              "EIniFileException: Database connection information not found in " +
                                  site.IniPath().string() + " (DataProvider.ConnStr)"}));
  for (QWidget* window : QApplication::topLevelWidgets()) {
    EXPECT_NE(window->objectName(), "frmSynchPropertyLocationsMain");
  }
}

}  // namespace
}  // namespace app_test
