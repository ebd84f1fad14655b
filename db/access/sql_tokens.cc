#include "db/access/sql_tokens.h"

namespace {

bool IsWordChar(char AChar) {
  const auto c = static_cast<unsigned char>(AChar);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '@' || c == '#' || c == '$' || c >= 0x80;
}

// The end of a quoted run starting at `AStart` (on its opening quote) and
// closed by `AClose`, a doubled `AClose` standing for itself.
std::size_t SkipQuoted(std::string_view AText, std::size_t AStart, char AClose) {
  std::size_t i = AStart + 1;
  while (i < AText.size()) {
    if (AText[i] == AClose) {
      if (i + 1 < AText.size() && AText[i + 1] == AClose) {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  return AText.size();
}

}  // namespace

std::vector<TSqlToken> TokenizeSql(std::string_view AText) {
  std::vector<TSqlToken> tokens;
  int depth = 0;
  std::size_t i = 0;
  while (i < AText.size()) {
    const char c = AText[i];
    const char next = i + 1 < AText.size() ? AText[i + 1] : '\0';
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
    } else if (c == '-' && next == '-') {
      const std::size_t end = AText.find('\n', i);
      i = end == std::string_view::npos ? AText.size() : end + 1;
    } else if (c == '/' && next == '*') {
      const std::size_t end = AText.find("*/", i + 2);
      i = end == std::string_view::npos ? AText.size() : end + 2;
    } else if (c == '\'') {
      const std::size_t end = SkipQuoted(AText, i, '\'');
      tokens.push_back({TSqlToken::kLiteral, i, end - i, depth});
      i = end;
    } else if (c == '[' || c == '"') {
      const std::size_t end = SkipQuoted(AText, i, c == '[' ? ']' : '"');
      tokens.push_back({TSqlToken::kQuoted, i, end - i, depth});
      i = end;
    } else if (IsWordChar(c)) {
      std::size_t end = i;
      while (end < AText.size() && IsWordChar(AText[end])) ++end;
      tokens.push_back({TSqlToken::kWord, i, end - i, depth});
      i = end;
    } else {
      if (c == ')' && depth > 0) --depth;
      tokens.push_back({TSqlToken::kSymbol, i, 1, depth});
      if (c == '(') ++depth;
      ++i;
    }
  }
  return tokens;
}
