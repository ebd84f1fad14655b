// What the synchronization pass drives on the main window. The window
// implements it with its controls; tests implement it with a recorder. Every
// call happens on the thread running the pass, which does not return to the
// message loop until the pass ends, hence the explicit repaints.
#pragma once

#include <string>

class ISynchView {
 public:
  virtual ~ISynchView() = default;

  // ProgressBar1. StepProgress adds the step; past the maximum the bar starts
  // over from its minimum (TProgressModel holds that rule).
  virtual void SetProgressPosition(int APosition) = 0;
  virtual void SetProgressMax(int AMax) = 0;
  virtual void SetProgressStep(int AStep) = 0;
  virtual void StepProgress() = 0;

  // lblPasses and lblWhatHappen: the caption, and painting it at once.
  virtual void SetPassesCaption(const std::string& ACaption) = 0;
  virtual void RepaintPasses() = 0;
  virtual void SetWhatHappenCaption(const std::string& ACaption) = 0;
  virtual void RepaintWhatHappen() = 0;

  // Memo1: one line at the end of the log, by the rule of AppendLogLine.
  virtual void AppendLogLine(const std::string& ALine) = 0;

  // Paints the whole window at once.
  virtual void RepaintWindow() = 0;

  // A modal box with `AText` and an OK button, captioned with the
  // application title; returns when the operator closes it.
  virtual void ShowMessage(const std::string& AText) = 0;
};
