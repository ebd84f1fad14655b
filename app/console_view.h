// The synchronization pass on a console: log lines on standard output as they
// are appended, message box texts on standard error, and, when standard error
// is a terminal, a one-line progress bar with the two label texts there.
#pragma once

#include <ostream>
#include <string>

#include "sync/progress_model.h"
#include "sync/synch_view.h"

class TConsoleView : public ISynchView {
 public:
  // Writes to `AOut` and `AErr`; draws the progress line on `AErr` only when
  // `AErrIsTerminal`.
  TConsoleView(std::ostream& AOut, std::ostream& AErr, bool AErrIsTerminal);

  // The log as the window's Memo1 would hold it: every line followed by CR LF.
  const std::string& LogText() const { return FLog; }
  // Whether the pass ended with its completion message.
  bool Completed() const { return FCompleted; }

  void SetProgressPosition(int APosition) override { FBar.SetPosition(APosition); }
  void SetProgressMax(int AMax) override { FBar.SetMax(AMax); }
  void SetProgressStep(int AStep) override { FBar.SetStep(AStep); }
  void StepProgress() override { FBar.StepIt(); }
  void SetPassesCaption(const std::string& ACaption) override { FPasses = ACaption; }
  void RepaintPasses() override { DrawProgress(); }
  void SetWhatHappenCaption(const std::string& ACaption) override { FWhatHappen = ACaption; }
  void RepaintWhatHappen() override { DrawProgress(); }
  // Writes `ALine` and a line feed to the output at once.
  void AppendLogLine(const std::string& ALine) override;
  void RepaintWindow() override { DrawProgress(); }
  // Writes `AText` and a line feed to the error output.
  void ShowMessage(const std::string& AText) override;

  // Removes the progress line, so that the terminal is left clean.
  void ClearProgress();

 private:
  void DrawProgress();

  std::ostream& FOut;
  std::ostream& FErr;
  bool FErrIsTerminal;
  bool FProgressShown = false;
  bool FCompleted = false;
  TProgressModel FBar;
  std::string FPasses = "[XXX]";
  std::string FWhatHappen = "[XXXXXX]";
  std::string FLog;
};
