// The main window: the start button, the progress bar and two labels the
// pass drives, the conflicts log Memo1 and the Save Log button, at their
// places at 96 dpi scaled to the screen's resolution. It owns the window's
// components and shows the synchronization pass through ISynchView.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "app/main_form_components.h"
#include "sync/progress_model.h"
#include "sync/synch_view.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class TfrmSynchPropertyLocationsMain : public QWidget, public ISynchView {
 public:
  // Restores the components (TMainFormComponents on `ADisk`), lays out
  // the controls centred on the screen, and runs FormCreate. Errors
  // propagate: start-up ends.
  explicit TfrmSynchPropertyLocationsMain(const platform::Disk& ADisk);
  ~TfrmSynchPropertyLocationsMain() override;

  TMainFormComponents& Components() const { return *FComponents; }

  // Memo1's whole text as it holds it, UTF-8, each line break (Enter's or
  // Shift+Enter's) as CR LF.
  std::string LogText() const;

  // The start button's click: the synchronization pass, and nothing else.
  void GoSynchPropertyLocations();
  // btnSave's click: SaveLog(LogText()); throws Exception when the file
  // cannot be created.
  void btnSaveClick();

  void SetProgressPosition(int APosition) override;
  void SetProgressMax(int AMax) override;
  void SetProgressStep(int AStep) override;
  void StepProgress() override;
  void SetPassesCaption(const std::string& ACaption) override;
  void RepaintPasses() override;
  void SetWhatHappenCaption(const std::string& ACaption) override;
  void RepaintWhatHappen() override;
  // Appends `ALine` with a line break after it, or before it when the text
  // does not end in one (the operator typed after the last line). A view at
  // the end of the log (LogViewAtEnd) scrolls on to show the line; any other
  // stays where it is.
  void AppendLogLine(const std::string& ALine) override;
  void RepaintWindow() override;
  void ShowMessage(const std::string& AText) override;

 protected:
  void resizeEvent(QResizeEvent* AEvent) override;
  void changeEvent(QEvent* AEvent) override;
  void showEvent(QShowEvent* AEvent) override;

 private:
  // `APixels` at 96 dpi in this screen's pixels.
  int Scaled(int APixels) const;
  void CreateControls();
  void ShowProgress();
  // The caret at the end of the log, and in view.
  bool LogViewAtEnd() const;
  // Sets a label's text and size; returns the area it covered before and
  // covers now, which its repaint must paint.
  QRect SetCaption(QLabel* ALabel, const std::string& ACaption);
  // Runs a click handler as the application's default handler would: an
  // error that escapes it is shown in an error box, and the program goes on.
  void HandleClick(void (TfrmSynchPropertyLocationsMain::*AHandler)());

  std::unique_ptr<TMainFormComponents> FComponents;
  double FScale = 1.0;
  bool FCentred = false;
  QSize FNormalSize;
  TProgressModel FBar;
  QRect FPassesArea;
  QRect FWhatHappenArea;
  QProgressBar* ProgressBar1 = nullptr;
  QLabel* lblWhatHappen = nullptr;
  QLabel* lblPasses = nullptr;
  QPushButton* btnStart = nullptr;
  QPushButton* btnSave = nullptr;
  QLabel* Label1 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
};
