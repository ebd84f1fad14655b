#include "sync/log_text.h"

void AppendLogLine(std::string& ALog, std::string_view ALine) {
  const bool endsInBreak = ALog.empty() || ALog.back() == '\n' || ALog.back() == '\r';
  if (endsInBreak) {
    ALog.append(ALine);
    ALog.append("\r\n");
  } else {
    ALog.append("\r\n");
    ALog.append(ALine);
  }
}
