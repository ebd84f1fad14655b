// The main window under the offscreen platform at 96 dpi: its layout, its
// anchors when maximized, the log's append rule after the operator typed,
// the log view following the pass until the operator leaves its end, the
// start button's pass against a stand-in, and Save Log.
#include "app/main_form.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <set>

#include "app/save_log.h"
#include "jail_server.h"
#include "modal_answerer.h"
#include "temp_dir.h"
#include "working_dir.h"

namespace app_test {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr char kTitle[] = "Synch Property Locations";
constexpr char kCompleted[] = "Property Locations Synchronization Completed";
constexpr char kSeparator[] = "===========================\r\n";

template <typename T>
T* Control(const QWidget& AWindow, const char* AName) {
  T* control = AWindow.findChild<T*>(AName);
  if (control == nullptr) throw std::runtime_error(std::string("no control ") + AName);
  return control;
}

void ClickButton(const QWidget& AWindow, const char* AName) {
  QTest::mouseClick(Control<QPushButton>(AWindow, AName), Qt::LeftButton);
}

struct Place {
  const char* name;
  QRect rect;
};

// The controls whose size is their own; the labels that size themselves to
// their text are checked by their position only.
const Place kFixedPlaces[] = {{"ProgressBar1", QRect(22, 20, 497, 16)},
                              {"btnStart", QRect(116, 70, 277, 25)},
                              {"btnSave", QRect(592, 107, 75, 25)},
                              {"Memo1", QRect(8, 136, 657, 361)}};
const Place kLabelPlaces[] = {{"lblWhatHappen", QRect(30, 40, 0, 0)},
                              {"lblPasses", QRect(407, 40, 0, 0)},
                              {"Label1", QRect(8, 120, 0, 0)}};

void ExpectLaidOut(const QWidget& AWindow) {
  EXPECT_EQ(AWindow.size(), QSize(675, 505));
  for (const Place& place : kFixedPlaces) {
    EXPECT_EQ(Control<QWidget>(AWindow, place.name)->geometry(), place.rect) << place.name;
  }
  for (const Place& place : kLabelPlaces) {
    EXPECT_EQ(Control<QWidget>(AWindow, place.name)->pos(), place.rect.topLeft()) << place.name;
  }
}

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96)
        << "the layout is checked at 96 dpi";
  }

  // Every window starts up from a site; the pass tests use its jail.
  JailServer jail_;
};

TEST_F(MainFormTest, CaptionTextsAndPlacesAt96Dpi) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  EXPECT_EQ(window.objectName(), "frmSynchPropertyLocationsMain");
  EXPECT_EQ(window.windowTitle(),
            "Synch Property Locations (Compatible with Warderly 5.0.3.x or higher)");
  ExpectLaidOut(window);
  EXPECT_EQ(Control<QLabel>(window, "lblWhatHappen")->text(), "[XXXXXX]");
  EXPECT_EQ(Control<QLabel>(window, "lblPasses")->text(), "[XXX]");
  EXPECT_EQ(Control<QLabel>(window, "Label1")->text(), "Conflicts Log:");
  EXPECT_EQ(Control<QPushButton>(window, "btnStart")->text(),
            "Start Synchronization Of Property Locations");
  EXPECT_TRUE(Control<QPushButton>(window, "btnStart")->font().bold());
  EXPECT_EQ(Control<QPushButton>(window, "btnSave")->text(), "Save Log");
  EXPECT_EQ(window.font().pixelSize(), 11);
  EXPECT_TRUE(Control<QPlainTextEdit>(window, "Memo1")->toPlainText().isEmpty());
  const QProgressBar* bar = Control<QProgressBar>(window, "ProgressBar1");
  EXPECT_EQ(std::vector<int>({bar->minimum(), bar->maximum(), bar->value()}),
            std::vector<int>({0, 100, 0}));
  // Sizing to their text: nothing of it is cut off.
  for (const char* name : {"lblWhatHappen", "lblPasses", "Label1"}) {
    const QLabel* label = Control<QLabel>(window, name);
    EXPECT_GE(label->width(), label->sizeHint().width()) << name;
  }
}

TEST_F(MainFormTest, FormCreateOrdersTheClosedPropertyTableByBookingNumber) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  const TMSTable& properties = *window.Components().NonVisual().tblInmProperty;
  EXPECT_EQ(properties.OrderFields(), "BOOKNO");
  EXPECT_FALSE(properties.Active());
  EXPECT_EQ(window.Components().NonVisual().tblWarderly->OrderFields(), "");
}

TEST_F(MainFormTest, CentredOnTheScreenWithAFixedSize) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QPoint centre = window.screen()->availableGeometry().center();
  EXPECT_LE((window.frameGeometry().center() - centre).manhattanLength(), 1);
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_TRUE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainFormTest, TabOrderStartButtonLogSaveButton) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  std::vector<std::string> order;
  for (int i = 0; i < 4; ++i) {
    order.push_back(QApplication::focusWidget()->objectName().toStdString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_THAT(order, ElementsAre("btnStart", "Memo1", "btnSave", "btnStart"));
  EXPECT_EQ(Control<QProgressBar>(window, "ProgressBar1")->focusPolicy(), Qt::NoFocus);
}

TEST_F(MainFormTest, MaximizingMovesTheAnchoredControlsAndRestoringPutsThemBack) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.showMaximized();
  QTRY_VERIFY(window.width() > 675 && window.height() > 505);
  const int growX = window.width() - 675;
  const int growY = window.height() - 505;
  EXPECT_EQ(Control<QWidget>(window, "Memo1")->geometry(), QRect(8, 136, 657 + growX, 361 + growY));
  EXPECT_EQ(Control<QWidget>(window, "btnSave")->geometry(), QRect(592 + growX, 107, 75, 25));
  const QRect start = Control<QWidget>(window, "btnStart")->geometry();
  EXPECT_EQ(start.size(), QSize(277, 25));
  EXPECT_EQ(start.top(), 70);
  EXPECT_NEAR((start.left() + 277 / 2.0) / window.width(), (116 + 277 / 2.0) / 675, 1.0 / 675);
  EXPECT_EQ(Control<QWidget>(window, "ProgressBar1")->geometry(), QRect(22, 20, 497, 16));
  EXPECT_EQ(Control<QWidget>(window, "Label1")->pos(), QPoint(8, 120));

  window.showNormal();
  QTRY_COMPARE(window.size(), QSize(675, 505));
  ExpectLaidOut(window);
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

struct AppendCase {
  const char* name;
  const char* typed;  // what the operator types first; "\n" is Enter, "\r" Shift+Enter
  std::string log;    // after appending "a" and "b"
};

// Test listings show the case by its name.
void PrintTo(const AppendCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class LogAppendTest : public MainFormTest, public ::testing::WithParamInterface<AppendCase> {};

TEST_P(LogAppendTest, LineBreakBeforeTheLineWhenTheTextDoesNotEndInOne) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  QPlainTextEdit* memo = Control<QPlainTextEdit>(window, "Memo1");
  for (const char* key = GetParam().typed; *key != '\0'; ++key) {
    if (*key == '\n') {
      QTest::keyClick(memo, Qt::Key_Return);
    } else if (*key == '\r') {
      QTest::keyClick(memo, Qt::Key_Return, Qt::ShiftModifier);
    } else {
      QTest::keyClick(memo, *key);
    }
  }
  window.AppendLogLine("a");
  window.AppendLogLine("b");
  EXPECT_EQ(window.LogText(), GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogAppendTest,
    ::testing::Values(AppendCase{"Nothing", "", "a\r\nb\r\n"},
                      AppendCase{"Word", "x", "x\r\na\r\nb"},
                      AppendCase{"WordAndEnter", "x\n", "x\r\na\r\nb\r\n"},
                      AppendCase{"WordAndShiftEnter", "x\r", "x\r\na\r\nb\r\n"},
                      AppendCase{"ShiftEnterMidLine", "x\ry", "x\r\ny\r\na\r\nb"},
                      AppendCase{"EmptyLine", "\n", "\r\na\r\nb\r\n"}),
    [](const auto& AInfo) { return std::string(AInfo.param.name); });

TEST_F(MainFormTest, TypedTextBetweenAppendedLinesStaysInTheLog) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  window.AppendLogLine("a");
  QPlainTextEdit* memo = Control<QPlainTextEdit>(window, "Memo1");
  memo->moveCursor(QTextCursor::End);
  QTest::keyClicks(memo, "note");
  window.AppendLogLine("b");
  EXPECT_EQ(window.LogText(), "a\r\nnote\r\nb");
}

// A no-break space (A0 in code page 1252) is a character of its own, from
// the database or typed, and is saved as one.
TEST_F(MainFormTest, NoBreakSpacesStayInTheLogText) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  window.AppendLogLine(
      "Cell\xC2\xA0"
      "4");
  QPlainTextEdit* memo = Control<QPlainTextEdit>(window, "Memo1");
  memo->moveCursor(QTextCursor::End);
  QTest::keyClicks(memo, QString("x") + QChar(QChar::Nbsp) + "y");
  EXPECT_EQ(window.LogText(),
            "Cell\xC2\xA0"
            "4\r\nx\xC2\xA0y");
}

TEST_F(MainFormTest, LongLinesWrapOnScreenOnly) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const std::string line = std::string(60, 'x') + " word " + std::string(300, 'y');
  const std::string longLine = line + " " + line;
  window.AppendLogLine(longLine);
  QPlainTextEdit* memo = Control<QPlainTextEdit>(window, "Memo1");
  QTRY_VERIFY(memo->document()->firstBlock().layout()->lineCount() > 1);
  EXPECT_EQ(window.LogText(), longLine + "\r\n");
}

// Whether the whole first line of `ABlock` shows in the log view.
bool InView(const QPlainTextEdit& AMemo, const QTextBlock& ABlock) {
  return AMemo.viewport()->rect().contains(AMemo.cursorRect(QTextCursor(ABlock)));
}

bool InView(const QPlainTextEdit& AMemo, const QString& ALine) {
  const QTextBlock block = AMemo.document()->find(ALine).block();
  if (!block.isValid()) throw std::runtime_error("no line " + ALine.toStdString());
  return InView(AMemo, block);
}

QString TopLine(const QPlainTextEdit& AMemo) {
  return AMemo.cursorForPosition(QPoint(0, 0)).block().text();
}

QString NumberedLine(int ANumber) {
  return QString("line %1.").arg(ANumber, 3, 10, QChar('0'));
}

// How the operator leaves the end of the log, and how they come back to it.
struct FollowCase {
  const char* name;
  std::function<void(QPlainTextEdit*)> leave;
  std::function<void(QPlainTextEdit*)> back;
};

void PrintTo(const FollowCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

void ScrollBar(QPlainTextEdit* AMemo, QAbstractSlider::SliderAction AAction) {
  AMemo->verticalScrollBar()->triggerAction(AAction);
}

const FollowCase kFollowCases[] = {
    {"ScrollsUpAPage",
     [](QPlainTextEdit* AMemo) { ScrollBar(AMemo, QScrollBar::SliderPageStepSub); },
     [](QPlainTextEdit* AMemo) { ScrollBar(AMemo, QScrollBar::SliderToMaximum); }},
    {"ScrollsUpALine",
     [](QPlainTextEdit* AMemo) { ScrollBar(AMemo, QScrollBar::SliderSingleStepSub); },
     [](QPlainTextEdit* AMemo) { ScrollBar(AMemo, QScrollBar::SliderToMaximum); }},
    // The view itself stays at the end: the operator is about to type there.
    {"MovesTheCaretUp", [](QPlainTextEdit* AMemo) { QTest::keyClick(AMemo, Qt::Key_Up); },
     [](QPlainTextEdit* AMemo) { QTest::keyClick(AMemo, Qt::Key_End, Qt::ControlModifier); }},
    {"ClicksTheTopLine",
     [](QPlainTextEdit* AMemo) {
       QTest::mouseClick(AMemo->viewport(), Qt::LeftButton, {}, QPoint(20, 5));
     },
     [](QPlainTextEdit* AMemo) { QTest::keyClick(AMemo, Qt::Key_End, Qt::ControlModifier); }},
};

class LogFollowTest : public MainFormTest, public ::testing::WithParamInterface<FollowCase> {};

TEST_P(LogFollowTest, AppendsMoveTheViewOnlyWhileItIsAtTheEnd) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QPlainTextEdit* memo = Control<QPlainTextEdit>(window, "Memo1");
  std::string log;
  auto append = [&](int AFrom, int ATo) {
    for (int i = AFrom; i < ATo; ++i) {
      window.AppendLogLine(NumberedLine(i).toStdString());
      log += NumberedLine(i).toStdString() + "\r\n";
    }
  };
  append(0, 60);
  ASSERT_FALSE(InView(*memo, NumberedLine(0))) << "the log is longer than the view";
  ASSERT_TRUE(InView(*memo, NumberedLine(59)));

  GetParam().leave(memo);
  const QString top = TopLine(*memo);
  append(60, 90);
  EXPECT_EQ(TopLine(*memo), top);
  EXPECT_FALSE(InView(*memo, NumberedLine(89)));

  GetParam().back(memo);
  append(90, 100);
  EXPECT_TRUE(InView(*memo, NumberedLine(99)));
  EXPECT_EQ(window.LogText(), log);
}

INSTANTIATE_TEST_SUITE_P(Cases, LogFollowTest, ::testing::ValuesIn(kFollowCases),
                         [](const auto& AInfo) { return std::string(AInfo.param.name); });

// QProgressBar stops at its maximum; the window's bar starts over instead.
TEST_F(MainFormTest, TheProgressBarStartsOverPastItsMaximum) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  const QProgressBar* bar = Control<QProgressBar>(window, "ProgressBar1");
  window.SetProgressMax(3);
  window.SetProgressStep(1);
  std::vector<int> values;
  for (int i = 0; i < 5; ++i) {
    window.StepProgress();
    values.push_back(bar->value());
  }
  EXPECT_THAT(values, ElementsAre(1, 2, 3, 0, 1));
  EXPECT_EQ(bar->maximum(), 3);
}

class WindowPassTest : public MainFormTest {
 protected:
  ModalAnswerer answerer_;
};

TEST_F(WindowPassTest, StartButtonRunsThePassAndLogsEveryPassAfterThePrevious) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  ClickButton(window, "btnStart");
  EXPECT_THAT(answerer_.Boxes(), ElementsAre(Box{kTitle, kCompleted}));
  EXPECT_EQ(Control<QLabel>(window, "lblPasses")->text(),
            "0 Property Locations To Process Remaining");
  EXPECT_THAT(Control<QLabel>(window, "lblWhatHappen")->text().toStdString(),
              StartsWith("Synching Location :"));
  EXPECT_EQ(Control<QProgressBar>(window, "ProgressBar1")->value(), 0);
  const std::string first = window.LogText();
  EXPECT_THAT(first, StartsWith(kSeparator));
  EXPECT_THAT(first, EndsWith(kSeparator));
  EXPECT_THAT(first, HasSubstr(" Container Status: In Use\r\n Inmates using this location:\r\n"));

  // The flags are settled now, the log lines are not about flags: the second
  // pass logs the same lines after the first's.
  ClickButton(window, "btnStart");
  EXPECT_EQ(answerer_.Boxes().size(), 2u);
  EXPECT_EQ(window.LogText(), first + first);
}

TEST_F(WindowPassTest, APassLongerThanTheViewEndsWithItsLastLineInView) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ClickButton(window, "btnStart");
  const QPlainTextEdit* memo = Control<QPlainTextEdit>(window, "Memo1");
  const QTextDocument* log = memo->document();
  ASSERT_FALSE(InView(*memo, log->firstBlock())) << "the sample jail's log fits the view";
  EXPECT_FALSE(log->lastBlock().previous().text().isEmpty());
  EXPECT_TRUE(InView(*memo, log->lastBlock().previous()));
}

TEST_F(WindowPassTest, AnUnreachableServerAbortsThePassWithTwoBoxes) {
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  jail_.Stop();
  ClickButton(window, "btnStart");
  ASSERT_EQ(answerer_.Boxes().size(), 2u);
  EXPECT_EQ(answerer_.Boxes()[0].caption, kTitle);
  EXPECT_THAT(answerer_.Boxes()[0].text,
              EndsWith(" On: TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations"));
  EXPECT_EQ(answerer_.Boxes()[1], (Box{kTitle, "Process Aborted"}));
  EXPECT_EQ(Control<QLabel>(window, "lblPasses")->text(), "[XXX]");
  EXPECT_EQ(window.LogText(), "");
}

// The names Save Log may choose while `AAction` runs.
std::set<std::string> NamesDuring(const std::function<void()>& AAction) {
  const std::time_t before = std::time(nullptr);
  AAction();
  const std::time_t after = std::time(nullptr);
  std::set<std::string> names;
  for (std::time_t at = before; at <= after; ++at) {
    std::tm local{};
    localtime_r(&at, &local);
    names.insert(LogFileName(local));
  }
  return names;
}

std::vector<std::string> FilesIn(const std::filesystem::path& ADir) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(ADir)) {
    files.push_back(entry.path().filename().string());
  }
  return files;
}

TEST_F(MainFormTest, SaveLogWritesTheWholeLogUnderTheTimeOfDayWithoutAsking) {
  WorkingDir dir;
  ModalAnswerer answerer;
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  window.AppendLogLine("Zo\xC3\xAB");
  QTest::keyClicks(Control<QPlainTextEdit>(window, "Memo1"), "typed");
  const std::set<std::string> names = NamesDuring([&] { ClickButton(window, "btnSave"); });
  const std::vector<std::string> files = FilesIn(dir.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(names.contains(files[0])) << files[0];
  EXPECT_EQ(standin_test::ReadFile(dir.path() / files[0]), SavedLogBytes(window.LogText()));
  EXPECT_TRUE(answerer.Boxes().empty());
}

TEST_F(MainFormTest, SaveLogOfAnEmptyLogWritesNoBytes) {
  WorkingDir dir;
  ModalAnswerer answerer;
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  ClickButton(window, "btnSave");
  const std::vector<std::string> files = FilesIn(dir.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(std::filesystem::file_size(dir.path() / files[0]), 0u);
}

// Root ignores a read-only directory; a directory under the file's name
// stops everyone. Directories stand under every name the next seconds give.
TEST_F(MainFormTest, SaveLogFailureGoesToTheDefaultHandlerAndTheWindowGoesOn) {
  WorkingDir dir;
  const std::time_t now = std::time(nullptr);
  for (std::time_t at = now; at < now + 10; ++at) {
    std::tm local{};
    localtime_r(&at, &local);
    std::filesystem::create_directory(LogFileName(local));
  }
  ModalAnswerer answerer;
  TfrmSynchPropertyLocationsMain window(jail_.Site());
  window.show();
  window.AppendLogLine("line");
  const std::set<std::string> names = NamesDuring([&] { ClickButton(window, "btnSave"); });
  ASSERT_EQ(answerer.Boxes().size(), 1u);
  const Box& box = answerer.Boxes()[0];
  EXPECT_EQ(box.caption, kTitle);
  const std::string prefix = "Cannot create file \"" + dir.path().string() + "/";
  ASSERT_THAT(box.text, StartsWith(prefix));
  EXPECT_TRUE(names.contains(box.text.substr(prefix.size(), 12))) << box.text;
  EXPECT_THAT(box.text, EndsWith(".log\". Is a directory."));
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.LogText(), "line\r\n");
}

}  // namespace
}  // namespace app_test
