#include "db/sql_names.h"

#include <vector>

#include "db/same_text.h"
#include "db/sql_tokens.h"

namespace {

bool IsLetter(char AChar) {
  return (AChar >= 'a' && AChar <= 'z') || (AChar >= 'A' && AChar <= 'Z');
}

bool IsDigit(char AChar) {
  return AChar >= '0' && AChar <= '9';
}

std::string_view Trim(std::string_view AText) {
  const auto first = AText.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return AText.substr(first, AText.find_last_not_of(" \t\r\n") - first + 1);
}

// The dot-separated parts of `AName`; dots inside quotes do not split.
std::vector<std::string_view> SplitParts(std::string_view AName) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  char close = '\0';
  for (std::size_t i = 0; i < AName.size(); ++i) {
    const char c = AName[i];
    if (close != '\0') {
      if (c == close) close = '\0';
    } else if (c == '[') {
      close = ']';
    } else if (c == '"') {
      close = '"';
    } else if (c == '.') {
      parts.push_back(AName.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(AName.substr(start));
  return parts;
}

std::string_view UnquotePart(std::string_view APart) {
  APart = Trim(APart);
  if (APart.size() >= 2 && ((APart.front() == '[' && APart.back() == ']') ||
                            (APart.front() == '"' && APart.back() == '"'))) {
    return APart.substr(1, APart.size() - 2);
  }
  return APart;
}

}  // namespace

bool IsPlainIdentifier(std::string_view AName) {
  if (AName.empty()) return false;
  const char first = AName.front();
  if (!IsLetter(first) && first != '_' && first != '@' && first != '#') return false;
  for (char c : AName.substr(1)) {
    if (!IsLetter(c) && !IsDigit(c) && c != '_' && c != '@' && c != '#' && c != '$') return false;
  }
  return true;
}

std::string QuoteName(std::string_view AName, bool AQuoteNames) {
  std::string quoted;
  for (std::string_view part : SplitParts(AName)) {
    if (!quoted.empty()) quoted += '.';
    const bool bracketed = part.size() >= 2 && part.front() == '[' && part.back() == ']';
    if (bracketed || (!AQuoteNames && IsPlainIdentifier(part))) {
      quoted += part;
    } else {
      quoted += '[';
      quoted += part;
      quoted += ']';
    }
  }
  return quoted;
}

std::string UnquoteName(std::string_view AName) {
  std::string name;
  bool first = true;
  for (std::string_view part : SplitParts(Trim(AName))) {
    if (!first) name += '.';
    name += UnquotePart(part);
    first = false;
  }
  return name;
}

std::string FirstTableAfterFrom(std::string_view ASQL) {
  const std::vector<TSqlToken> tokens = TokenizeSql(ASQL);
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].Depth != 0 || tokens[i].Kind != TSqlToken::kWord ||
        !SameText(tokens[i].In(ASQL), "FROM")) {
      continue;
    }
    std::string name;
    for (std::size_t j = i + 1; j < tokens.size(); ++j) {
      const TSqlToken& token = tokens[j];
      const bool expect_part = name.empty() || name.back() == '.';
      if (expect_part && (token.Kind == TSqlToken::kWord || token.Kind == TSqlToken::kQuoted)) {
        name += UnquotePart(token.In(ASQL));
      } else if (!expect_part && token.Kind == TSqlToken::kSymbol && token.In(ASQL) == ".") {
        name += '.';
      } else {
        break;
      }
    }
    return name;
  }
  return "";
}
