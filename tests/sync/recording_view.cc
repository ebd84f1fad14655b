#include "recording_view.h"

#include "sync/log_text.h"

namespace sync_test {

namespace {

const std::string kPassesSuffix = " Property Locations To Process Remaining";

}  // namespace

void RecordingView::Note(const std::string& AEvent) {
  if (!FProgress.empty()) FProgress += ' ';
  FProgress += AEvent;
}

void RecordingView::CheckPainted() {
  if (!FPendingCaption.empty()) FUnpainted.push_back(FPendingCaption);
  FPendingCaption.clear();
}

void RecordingView::SetProgressPosition(int APosition) {
  CheckPainted();
  FBar.SetPosition(APosition);
  Note("=" + std::to_string(FBar.Position()));
}

void RecordingView::SetProgressMax(int AMax) {
  CheckPainted();
  FBar.SetMax(AMax);
  Note("max" + std::to_string(AMax));
}

void RecordingView::SetProgressStep(int AStep) {
  CheckPainted();
  FBar.SetStep(AStep);
  Note("step" + std::to_string(AStep));
}

void RecordingView::StepProgress() {
  CheckPainted();
  FBar.StepIt();
  Note("+" + std::to_string(FBar.Position()));
}

void RecordingView::SetPassesCaption(const std::string& ACaption) {
  CheckPainted();
  FPendingCaption = ACaption;
  std::string count = ACaption;
  if (count.ends_with(kPassesSuffix)) count.resize(count.size() - kPassesSuffix.size());
  if (!FPasses.empty()) FPasses += ' ';
  FPasses += count;
}

void RecordingView::RepaintPasses() {
  FPendingCaption.clear();
}

void RecordingView::SetWhatHappenCaption(const std::string& ACaption) {
  CheckPainted();
  FPendingCaption = ACaption;
  FWhatHappen.push_back(ACaption);
  if (FTrigger && ACaption == FTriggerCaption) FTrigger();
}

void RecordingView::RepaintWhatHappen() {
  FPendingCaption.clear();
}

void RecordingView::AppendLogLine(const std::string& ALine) {
  CheckPainted();
  ::AppendLogLine(FLog, ALine);
}

void RecordingView::RepaintWindow() {
  CheckPainted();
  Note("W");
}

void RecordingView::ShowMessage(const std::string& AText) {
  CheckPainted();
  FMessages.push_back(AText);
}

}  // namespace sync_test
