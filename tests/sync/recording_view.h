// An ISynchView that keeps what the pass showed: the log text under the
// window's append rule, the captions set, the message boxes in order, and the
// progress bar's calls with the position each left.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "sync/progress_model.h"
#include "sync/synch_view.h"

namespace sync_test {

class RecordingView : public ISynchView {
 public:
  // The progress calls, space-separated: "=P" a position set (P as it
  // stands after), "maxM", "stepS", "+P" a step (P after it), "W" a window
  // repaint.
  const std::string& Progress() const { return FProgress; }
  const std::string& Log() const { return FLog; }
  // The remaining counts of lblPasses' captions, space-separated: "3 2 1 0".
  const std::string& Passes() const { return FPasses; }
  const std::vector<std::string>& WhatHappen() const { return FWhatHappen; }
  const std::vector<std::string>& Messages() const { return FMessages; }
  // Captions set but not repainted before the next call; empty when every
  // caption was painted at once.
  const std::vector<std::string>& UnpaintedCaptions() const { return FUnpainted; }
  const TProgressModel& Bar() const { return FBar; }

  // Runs `AAction` when lblWhatHappen is given `ACaption`.
  void OnWhatHappen(std::string ACaption, std::function<void()> AAction) {
    FTriggerCaption = std::move(ACaption);
    FTrigger = std::move(AAction);
  }

  void SetProgressPosition(int APosition) override;
  void SetProgressMax(int AMax) override;
  void SetProgressStep(int AStep) override;
  void StepProgress() override;
  void SetPassesCaption(const std::string& ACaption) override;
  void RepaintPasses() override;
  void SetWhatHappenCaption(const std::string& ACaption) override;
  void RepaintWhatHappen() override;
  void AppendLogLine(const std::string& ALine) override;
  void RepaintWindow() override;
  void ShowMessage(const std::string& AText) override;

 private:
  void Note(const std::string& AEvent);
  // A caption set and not yet painted is noted when any other call comes.
  void CheckPainted();

  TProgressModel FBar;
  std::string FProgress;
  std::string FLog;
  std::string FPasses;
  std::vector<std::string> FWhatHappen;
  std::vector<std::string> FMessages;
  std::vector<std::string> FUnpainted;
  std::string FPendingCaption;
  std::string FTriggerCaption;
  std::function<void()> FTrigger;
};

}  // namespace sync_test
