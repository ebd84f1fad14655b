#include "app/main_form.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>

#include "app/application_title.h"
#include "app/error_boxes.h"
#include "app/save_log.h"

namespace {

constexpr int kClientWidth = 675;
constexpr int kClientHeight = 505;
constexpr int kFontPixels = 11;  // 8 points at 96 dpi

// The first of these the system has: the window was drawn for the first,
// and the others come closest to its metrics.
QString BestSansFamily() {
  const QStringList installed = QFontDatabase::families();
  for (const char* family :
       {"MS Sans Serif", "Microsoft Sans Serif", "Tahoma", "Liberation Sans", "Arimo", "Arial",
        "Helvetica", "DejaVu Sans Condensed", "DejaVu Sans"}) {
    if (installed.contains(family, Qt::CaseInsensitive)) return family;
  }
  return {};
}

QFont WindowFont(int APixelSize) {
  QFont font;
  const QString family = BestSansFamily();
  if (family.isEmpty()) {
    font.setStyleHint(QFont::SansSerif);
  } else {
    font.setFamily(family);
  }
  font.setPixelSize(APixelSize);
  return font;
}

}  // namespace

TfrmSynchPropertyLocationsMain::TfrmSynchPropertyLocationsMain(const platform::Disk& ADisk)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      FComponents(std::make_unique<TMainFormComponents>(ADisk)) {
  setObjectName("frmSynchPropertyLocationsMain");
  setWindowTitle("Synch Property Locations (Compatible with Warderly 5.0.3.x or higher)");
  QScreen* screen = QGuiApplication::primaryScreen();
  FScale = screen->logicalDotsPerInch() / 96.0;
  FNormalSize = QSize(Scaled(kClientWidth), Scaled(kClientHeight));

  QPalette colours = palette();
  colours.setColor(QPalette::Window, colours.color(QPalette::Button));
  setPalette(colours);
  setAutoFillBackground(true);
  setFont(WindowFont(Scaled(kFontPixels)));

  CreateControls();
  setFixedSize(FNormalSize);
  FComponents->FormCreate();
}

TfrmSynchPropertyLocationsMain::~TfrmSynchPropertyLocationsMain() = default;

int TfrmSynchPropertyLocationsMain::Scaled(int APixels) const {
  return qRound(APixels * FScale);
}

void TfrmSynchPropertyLocationsMain::CreateControls() {
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setGeometry(Scaled(22), Scaled(20), Scaled(497), Scaled(16));
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setFocusPolicy(Qt::NoFocus);
  ShowProgress();

  lblWhatHappen = new QLabel("[XXXXXX]", this);
  lblWhatHappen->setObjectName("lblWhatHappen");
  lblWhatHappen->move(Scaled(30), Scaled(40));
  lblWhatHappen->adjustSize();

  lblPasses = new QLabel("[XXX]", this);
  lblPasses->setObjectName("lblPasses");
  lblPasses->move(Scaled(407), Scaled(40));
  lblPasses->adjustSize();

  btnStart = new QPushButton("Start Synchronization Of Property Locations", this);
  btnStart->setObjectName("btnStart");
  QFont bold = font();
  bold.setBold(true);
  btnStart->setFont(bold);
  btnStart->setGeometry(Scaled(116), Scaled(70), Scaled(277), Scaled(25));

  btnSave = new QPushButton("Save Log", this);
  btnSave->setObjectName("btnSave");
  btnSave->setGeometry(Scaled(592), Scaled(107), Scaled(75), Scaled(25));

  // A substitute font may be wider than the one the width was chosen for.
  Label1 = new QLabel("Conflicts Log:", this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(Scaled(8), Scaled(120), std::max(Scaled(64), Label1->sizeHint().width()),
                      Scaled(13));

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setGeometry(Scaled(8), Scaled(136), Scaled(657), Scaled(361));
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  Memo1->setTabChangesFocus(true);

  for (QWidget* control : {static_cast<QWidget*>(btnStart), static_cast<QWidget*>(btnSave)}) {
    control->setFocusPolicy(Qt::StrongFocus);
  }
  QWidget::setTabOrder(btnStart, Memo1);
  QWidget::setTabOrder(Memo1, btnSave);
  btnStart->setFocus();

  connect(btnStart, &QPushButton::clicked, this,
          [this] { HandleClick(&TfrmSynchPropertyLocationsMain::GoSynchPropertyLocations); });
  connect(btnSave, &QPushButton::clicked, this,
          [this] { HandleClick(&TfrmSynchPropertyLocationsMain::btnSaveClick); });
}

void TfrmSynchPropertyLocationsMain::HandleClick(
    void (TfrmSynchPropertyLocationsMain::*AHandler)()) {
  try {
    (this->*AHandler)();
  } catch (...) {
    ShowDefaultHandlerBox(this, std::current_exception());
  }
}

// Anchors. Memo1 follows all four edges, btnSave the top and right ones, and
// the start button, anchored at neither side, keeps its centre at the same
// fraction of the width; everything else stays where it was laid out.
void TfrmSynchPropertyLocationsMain::resizeEvent(QResizeEvent* AEvent) {
  QWidget::resizeEvent(AEvent);
  const int growX = width() - FNormalSize.width();
  const int growY = height() - FNormalSize.height();
  Memo1->setGeometry(Scaled(8), Scaled(136), Scaled(657) + growX, Scaled(361) + growY);
  btnSave->move(Scaled(592) + growX, Scaled(107));
  const double centre = (Scaled(116) + Scaled(277) / 2.0) * width() / FNormalSize.width();
  btnStart->move(qRound(centre - Scaled(277) / 2.0), Scaled(70));
}

// The border is fixed, yet the window maximizes: the size is released while
// maximized and fixed again once restored.
void TfrmSynchPropertyLocationsMain::changeEvent(QEvent* AEvent) {
  QWidget::changeEvent(AEvent);
  if (AEvent->type() != QEvent::WindowStateChange) return;
  if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else if (!(windowState() & Qt::WindowMinimized)) {
    setFixedSize(FNormalSize);
  }
}

// Centred once, when first shown: only then does the frame have its size.
void TfrmSynchPropertyLocationsMain::showEvent(QShowEvent* AEvent) {
  QWidget::showEvent(AEvent);
  if (FCentred) return;
  FCentred = true;
  const QRect available = screen()->availableGeometry();
  const QSize frame = frameGeometry().size();
  move(available.center() - QPoint(frame.width() / 2, frame.height() / 2));
}

// The raw text, not toPlainText(): that turns no-break spaces into spaces.
// Shift+Enter breaks the line with U+2028 where Enter starts a paragraph;
// both are line breaks to the operator, as they are in the Windows window's
// edit control, so both are saved as CR LF and count as one for the append
// rule.
std::string TfrmSynchPropertyLocationsMain::LogText() const {
  QString text = Memo1->document()->toRawText();
  text.replace(QChar::ParagraphSeparator, "\r\n").replace(QChar::LineSeparator, "\r\n");
  return text.toStdString();
}

void TfrmSynchPropertyLocationsMain::GoSynchPropertyLocations() {
  FComponents->GoSynchPropertyLocations(*this);
}

void TfrmSynchPropertyLocationsMain::btnSaveClick() {
  SaveLog(LogText());
}

void TfrmSynchPropertyLocationsMain::ShowProgress() {
  ProgressBar1->setRange(FBar.Min(), FBar.Max());
  ProgressBar1->setValue(FBar.Position());
}

void TfrmSynchPropertyLocationsMain::SetProgressPosition(int APosition) {
  FBar.SetPosition(APosition);
  ShowProgress();
}

void TfrmSynchPropertyLocationsMain::SetProgressMax(int AMax) {
  FBar.SetMax(AMax);
  ShowProgress();
}

void TfrmSynchPropertyLocationsMain::SetProgressStep(int AStep) {
  FBar.SetStep(AStep);
}

void TfrmSynchPropertyLocationsMain::StepProgress() {
  FBar.StepIt();
  ShowProgress();
}

QRect TfrmSynchPropertyLocationsMain::SetCaption(QLabel* ALabel, const std::string& ACaption) {
  const QRect before = ALabel->geometry();
  ALabel->setText(QString::fromStdString(ACaption));
  ALabel->adjustSize();
  return before.united(ALabel->geometry());
}

void TfrmSynchPropertyLocationsMain::SetPassesCaption(const std::string& ACaption) {
  FPassesArea = SetCaption(lblPasses, ACaption);
}

// The pass keeps the message loop waiting until it ends, so the repaints
// paint at once with repaint() rather than letting the loop run through
// processEvents: even with user input held back, that would deliver timers,
// posted events and the window manager's close request in the middle of the
// pass. Painting and nothing else is what the operator is promised. A label
// that shrank leaves its old area for the window to paint over.
void TfrmSynchPropertyLocationsMain::RepaintPasses() {
  repaint(FPassesArea);
}

void TfrmSynchPropertyLocationsMain::SetWhatHappenCaption(const std::string& ACaption) {
  FWhatHappenArea = SetCaption(lblWhatHappen, ACaption);
}

void TfrmSynchPropertyLocationsMain::RepaintWhatHappen() {
  repaint(FWhatHappenArea);
}

void TfrmSynchPropertyLocationsMain::AppendLogLine(const std::string& ALine) {
  QTextDocument* document = Memo1->document();
  // The document's last character is always its closing paragraph
  // separator; the one before it tells whether the text ends in a break.
  const QChar last = document->characterAt(document->characterCount() - 2);
  const bool endsInBreak =
      document->isEmpty() || last == QChar::ParagraphSeparator || last == QChar::LineSeparator;
  const bool follow = LogViewAtEnd();
  const QString line = QString::fromStdString(ALine);
  QTextCursor cursor(document);
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(endsInBreak ? line + '\n' : '\n' + line);
  // The caret at the end moved on with the text: showing it shows the line.
  if (follow) Memo1->ensureCursorVisible();
}

// An operator who scrolled up is reading, one who moved the caret is typing
// a note: moving the view under either would lose their place. At the end
// is where Ctrl+End leaves it: the caret at the end, its line in view.
bool TfrmSynchPropertyLocationsMain::LogViewAtEnd() const {
  return Memo1->textCursor().atEnd() && Memo1->viewport()->rect().contains(Memo1->cursorRect());
}

void TfrmSynchPropertyLocationsMain::RepaintWindow() {
  repaint();
}

void TfrmSynchPropertyLocationsMain::ShowMessage(const std::string& AText) {
  QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, QString::fromStdString(AText),
                  QMessageBox::Ok, this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}
