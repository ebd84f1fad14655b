#include "values/collation.h"

#include <algorithm>

namespace standin::engine {

namespace {

char32_t Upper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c < 0x80) return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
    bool odd_lower = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (odd_lower ? (c % 2 == 0) : (c % 2 == 1)) return c - 1;
    return c;
  }
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

char32_t Lower(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0x80) return c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x17F && Upper(c) == c && c != 0x130 && c != 0x131) {
    char32_t next = c + 1;
    if (Upper(next) == c) return next;
    return c;
  }
  if (c >= 0x391 && c <= 0x3A9) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

// The letter an accented Latin-1 letter sorts with (its primary weight).
char32_t BaseLetter(char32_t upper) {
  if (upper >= 0xC0 && upper <= 0xC5) return 'A';
  if (upper == 0xC7) return 'C';
  if (upper >= 0xC8 && upper <= 0xCB) return 'E';
  if (upper >= 0xCC && upper <= 0xCF) return 'I';
  if (upper == 0xD1) return 'N';
  if ((upper >= 0xD2 && upper <= 0xD6) || upper == 0xD8) return 'O';
  if (upper >= 0xD9 && upper <= 0xDC) return 'U';
  if (upper == 0xDD || upper == 0x178) return 'Y';
  if (upper == 0x160) return 'S';
  if (upper == 0x17D) return 'Z';
  return upper;
}

std::vector<char32_t> TrimmedUpper(std::string_view text) {
  std::vector<char32_t> chars = DecodeUtf8(text);
  while (!chars.empty() && chars.back() == ' ') chars.pop_back();
  for (char32_t& c : chars) c = Upper(c);
  return chars;
}

bool IsCodePage1252(char32_t c) {
  static constexpr char32_t kHigh[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x017D, 0x2018,
                                       0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC,
                                       0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return true;
  if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) return true;
  return std::find(std::begin(kHigh), std::end(kHigh), c) != std::end(kHigh);
}

bool MatchFrom(const std::vector<char32_t>& t, std::size_t ti, const std::vector<char32_t>& p,
               std::size_t pi, char32_t escape, int depth) {
  if (depth > 200) return false;
  while (pi < p.size()) {
    char32_t pc = p[pi];
    if (escape != 0 && pc == escape && pi + 1 < p.size()) {
      if (ti >= t.size() || Upper(t[ti]) != Upper(p[pi + 1])) return false;
      ++ti;
      pi += 2;
    } else if (pc == '%') {
      while (pi < p.size() && p[pi] == '%') ++pi;
      if (pi == p.size()) return true;
      for (std::size_t k = ti; k <= t.size(); ++k)
        if (MatchFrom(t, k, p, pi, escape, depth + 1)) return true;
      return false;
    } else if (pc == '_') {
      if (ti >= t.size()) return false;
      ++ti;
      ++pi;
    } else if (pc == '[') {
      std::size_t close = pi + 1;
      if (close < p.size() && p[close] == '^') ++close;
      if (close < p.size()) ++close;  // a leading ']' belongs to the set
      while (close < p.size() && p[close] != ']') ++close;
      if (close >= p.size()) {  // no closing bracket: a literal '['
        if (ti >= t.size() || t[ti] != '[') return false;
        ++ti;
        ++pi;
        continue;
      }
      if (ti >= t.size()) return false;
      std::size_t k = pi + 1;
      bool negate = p[k] == '^';
      if (negate) ++k;
      char32_t c = Upper(t[ti]);
      bool found = false;
      for (; k < close; ++k) {
        if (k + 2 < close && p[k + 1] == '-') {
          if (c >= Upper(p[k]) && c <= Upper(p[k + 2])) found = true;
          k += 2;
        } else if (Upper(p[k]) == c) {
          found = true;
        }
      }
      if (found == negate) return false;
      ++ti;
      pi = close + 1;
    } else {
      if (ti >= t.size() || Upper(t[ti]) != Upper(pc)) return false;
      ++ti;
      ++pi;
    }
  }
  return ti == t.size();
}

}  // namespace

std::vector<char32_t> DecodeUtf8(std::string_view s) {
  std::vector<char32_t> out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + extra >= s.size()) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    char32_t c = extra == 0 ? b : (b & (0x3F >> extra));
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      unsigned char cb = static_cast<unsigned char>(s[i + k]);
      if ((cb & 0xC0) != 0x80) ok = false;
      c = (c << 6) | (cb & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(c);
    i += extra + 1;
  }
  return out;
}

std::string EncodeUtf8(const std::vector<char32_t>& chars) {
  std::string out;
  out.reserve(chars.size());
  for (char32_t c : chars) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::size_t CharCount(std::string_view utf8) {
  std::size_t n = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

int CompareCi(std::string_view a, std::string_view b) {
  std::vector<char32_t> x = TrimmedUpper(a);
  std::vector<char32_t> y = TrimmedUpper(b);
  std::size_t n = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < n; ++i) {
    char32_t bx = BaseLetter(x[i]), by = BaseLetter(y[i]);
    if (bx != by) return bx < by ? -1 : 1;
  }
  if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
  for (std::size_t i = 0; i < n; ++i)
    if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
  return 0;
}

bool LikeMatch(std::string_view text, std::string_view pattern, char32_t escape) {
  std::vector<char32_t> t = DecodeUtf8(text);
  std::vector<char32_t> p = DecodeUtf8(pattern);
  if (MatchFrom(t, 0, p, 0, escape, 0)) return true;
  std::size_t before = t.size();
  while (!t.empty() && t.back() == ' ') t.pop_back();
  return t.size() != before && MatchFrom(t, 0, p, 0, escape, 0);
}

std::string UpperCase(std::string_view text) {
  std::vector<char32_t> chars = DecodeUtf8(text);
  for (char32_t& c : chars) c = Upper(c);
  return EncodeUtf8(chars);
}

std::string LowerCase(std::string_view text) {
  std::vector<char32_t> chars = DecodeUtf8(text);
  for (char32_t& c : chars) c = Lower(c);
  return EncodeUtf8(chars);
}

std::string ToCodePage1252(std::string_view text) {
  bool ascii = std::all_of(text.begin(), text.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return std::string(text);
  std::vector<char32_t> chars = DecodeUtf8(text);
  for (char32_t& c : chars)
    if (!IsCodePage1252(c)) c = '?';
  return EncodeUtf8(chars);
}

}  // namespace standin::engine
