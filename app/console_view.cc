#include "app/console_view.h"

#include "sync/log_text.h"

namespace {

constexpr char kCompletedMessage[] = "Property Locations Synchronization Completed";
// Wide enough to read, narrow enough for any terminal not to wrap it.
constexpr size_t kProgressLineWidth = 79;
constexpr int kBarWidth = 20;

// `AText` cut to at most `AWidth` bytes, never inside a UTF-8 sequence.
std::string Cut(const std::string& AText, size_t AWidth) {
  if (AText.size() <= AWidth) return AText;
  size_t end = AWidth;
  while (end > 0 && (static_cast<unsigned char>(AText[end]) & 0xC0) == 0x80) --end;
  return AText.substr(0, end);
}

}  // namespace

TConsoleView::TConsoleView(std::ostream& AOut, std::ostream& AErr, bool AErrIsTerminal)
    : FOut(AOut), FErr(AErr), FErrIsTerminal(AErrIsTerminal) {}

void TConsoleView::AppendLogLine(const std::string& ALine) {
  ::AppendLogLine(FLog, ALine);
  ClearProgress();
  FOut << ALine << '\n' << std::flush;
}

void TConsoleView::ShowMessage(const std::string& AText) {
  if (AText == kCompletedMessage) FCompleted = true;
  ClearProgress();
  FErr << AText << '\n' << std::flush;
}

void TConsoleView::ClearProgress() {
  if (!FProgressShown) return;
  FErr << "\r\x1b[K" << std::flush;
  FProgressShown = false;
}

void TConsoleView::DrawProgress() {
  if (!FErrIsTerminal) return;
  const int range = FBar.Max() - FBar.Min();
  const int filled = range > 0 ? (FBar.Position() - FBar.Min()) * kBarWidth / range : 0;
  const std::string line = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, ' ') +
                           "] " + FPasses + " | " + FWhatHappen;
  FErr << "\r\x1b[K" << Cut(line, kProgressLineWidth) << std::flush;
  FProgressShown = true;
}
