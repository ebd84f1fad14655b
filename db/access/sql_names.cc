#include "db/access/sql_names.h"

#include <vector>

#include "db/access/sql_tokens.h"
#include "db/values/same_text.h"

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

// The dot-separated parts of `AName`; dots inside quotes do not split, nor
// does a doubled closing character end the quotes.
std::vector<std::string_view> SplitParts(std::string_view AName) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  char close = '\0';
  for (std::size_t i = 0; i < AName.size(); ++i) {
    const char c = AName[i];
    if (close != '\0') {
      if (c != close) continue;
      if (i + 1 < AName.size() && AName[i + 1] == close) {
        ++i;
      } else {
        close = '\0';
      }
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

// Whether `APart` opens with `AOpen` and its first undoubled `AClose` is its
// last character: one whole quoted name.
bool IsQuoted(std::string_view APart, char AOpen, char AClose) {
  if (APart.size() < 2 || APart.front() != AOpen) return false;
  for (std::size_t i = 1; i < APart.size(); ++i) {
    if (APart[i] != AClose) continue;
    if (i + 1 == APart.size()) return true;
    if (APart[i + 1] != AClose) return false;
    ++i;
  }
  return false;
}

// The name inside the quotes of `APart`, each doubled `AClose` made single.
std::string Undoubled(std::string_view APart, char AClose) {
  std::string name;
  for (std::size_t i = 1; i + 1 < APart.size(); ++i) {
    name += APart[i];
    if (APart[i] == AClose) ++i;
  }
  return name;
}

std::string UnquotePart(std::string_view APart) {
  APart = Trim(APart);
  if (IsQuoted(APart, '[', ']')) return Undoubled(APart, ']');
  if (IsQuoted(APart, '"', '"')) return Undoubled(APart, '"');
  return std::string(APart);
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

std::string BracketName(std::string_view AName) {
  std::string quoted = "[";
  for (char c : AName) {
    quoted += c;
    if (c == ']') quoted += ']';
  }
  return quoted + "]";
}

std::string QuoteName(std::string_view AName, bool AQuoteNames) {
  std::string quoted;
  for (std::string_view part : SplitParts(AName)) {
    if (!quoted.empty()) quoted += '.';
    if (IsQuoted(part, '[', ']') || (!AQuoteNames && IsPlainIdentifier(part))) {
      quoted += part;
    } else {
      quoted += BracketName(part);
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
