#include "db/access/param_markers.h"

namespace {

// Bytes of UTF-8 sequences count as letters, so names in any alphabet stay whole.
bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

bool IsNameChar(char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9') || c == '$' || c == '#';
}

// The index just past a run that ends at `close`, with `close` doubled inside
// it standing for itself (as in 'it''s' and [a]]b]); the end of the text when
// the run is not closed.
std::size_t SkipQuoted(std::string_view s, std::size_t open, char close) {
  std::size_t i = open + 1;
  while (i < s.size()) {
    if (s[i] == close) {
      if (i + 1 < s.size() && s[i + 1] == close) {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  return s.size();
}

// The index just past a comment starting at `i`, or `i` when none starts there.
std::size_t SkipComment(std::string_view s, std::size_t i) {
  if (s.compare(i, 2, "--") == 0) {
    std::size_t end = s.find('\n', i);
    return end == std::string_view::npos ? s.size() : end;
  }
  if (s.compare(i, 2, "/*") == 0) {
    std::size_t end = s.find("*/", i + 2);
    return end == std::string_view::npos ? s.size() : end + 2;
  }
  return i;
}

}  // namespace

TParamMarkers ParseParamMarkers(std::string_view ASQL) {
  TParamMarkers result;
  result.Text.reserve(ASQL.size());
  std::size_t i = 0;
  while (i < ASQL.size()) {
    const char c = ASQL[i];
    std::size_t next = i;
    if (c == '\'' || c == '"' || c == '[') {
      next = SkipQuoted(ASQL, i, c == '[' ? ']' : c);
    } else if (std::size_t after = SkipComment(ASQL, i); after != i) {
      next = after;
    } else if (c == ':' && i + 1 < ASQL.size()) {
      const char n = ASQL[i + 1];
      if (n == '[') {
        std::string name;
        std::size_t j = i + 2;
        for (; j < ASQL.size(); ++j) {
          if (ASQL[j] == ']' && (j + 1 == ASQL.size() || ASQL[j + 1] != ']')) break;
          name += ASQL[j];
          if (ASQL[j] == ']') ++j;
        }
        if (j < ASQL.size()) {
          result.Names.push_back(std::move(name));
          result.Text += '?';
          i = j + 1;
          continue;
        }
      } else if (IsNameStart(n)) {
        std::size_t end = i + 2;
        while (end < ASQL.size() && IsNameChar(ASQL[end])) ++end;
        result.Names.emplace_back(ASQL.substr(i + 1, end - i - 1));
        result.Text += '?';
        i = end;
        continue;
      } else if (n == ':') {
        next = i + 2;  // "::" stays as it is, and its second ":" starts no marker
      }
    }
    if (next == i) next = i + 1;
    result.Text.append(ASQL.substr(i, next - i));
    i = next;
  }
  return result;
}
