#include "db/access/sql_lines.h"

void TStrings::Clear() {
  if (FLines.empty()) return;
  FLines.clear();
  Changed();
}

void TStrings::Add(const std::string& ALine) {
  FLines.push_back(ALine);
  Changed();
}

std::string TStrings::Text() const {
  std::string text;
  for (const std::string& line : FLines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void TStrings::SetText(std::string_view AText) {
  FLines.clear();
  std::size_t start = 0;
  while (start < AText.size()) {
    std::size_t end = AText.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = AText.size();
    FLines.emplace_back(AText.substr(start, end - start));
    if (end < AText.size() && AText[end] == '\r' && end + 1 < AText.size() &&
        AText[end + 1] == '\n') {
      ++end;
    }
    start = end + 1;
  }
  Changed();
}
