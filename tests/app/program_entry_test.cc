// The program entry: the message loop until the window closes, and an error
// while the window is created.
#include "app/program_entry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "db/database_error.h"
#include "modal_answerer.h"

namespace app_test {
namespace {

using ::testing::ElementsAre;

TEST(ProgramEntryTest, RunsUntilTheWindowIsClosedAndEndsWithZero) {
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
  EXPECT_EQ(SynchpropertyLocationsOnJail(*qApp, {}), 0);
  EXPECT_TRUE(shown);
  EXPECT_EQ(QApplication::applicationName(), "Synch Property Locations");
}

TEST(ProgramEntryTest, AnErrorWhileCreatingTheWindowEndsWithOneAfterTheErrorBox) {
  ModalAnswerer answerer;
  const int exitCode = SynchpropertyLocationsOnJail(
      *qApp, [](TMSConnection&) { throw EDatabaseError("The site database cannot be reached"); });
  EXPECT_EQ(exitCode, 1);
  EXPECT_THAT(
      answerer.Boxes(),
      ElementsAre(Box{"Application Error", "EDatabaseError: The site database cannot be reached"}));
  for (QWidget* window : QApplication::topLevelWidgets()) {
    EXPECT_NE(window->objectName(), "frmSynchPropertyLocationsMain");
  }
}

}  // namespace
}  // namespace app_test
