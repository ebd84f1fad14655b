#include "db/odbc/wide_text.h"

#include <algorithm>

#include "core/exception.h"

namespace odbc {
namespace {

static_assert(sizeof(SQLWCHAR) == 2, "the driver manager must use UTF-16 for SQLWCHAR");

constexpr char32_t kReplacement = 0xFFFD;

[[noreturn]] void InvalidUtf8() {
  throw Exception("Invalid UTF-8 text");
}

// Decodes the code point starting at `i`, advancing `i` past it.
char32_t DecodeUtf8(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int extra;
  char32_t code;
  char32_t smallest;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, code = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, code = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, code = lead & 0x07, smallest = 0x10000;
  } else {
    InvalidUtf8();
  }
  for (; extra > 0; --extra) {
    if (i >= text.size()) InvalidUtf8();
    const auto next = static_cast<unsigned char>(text[i++]);
    if ((next & 0xC0) != 0x80) InvalidUtf8();
    code = (code << 6) | (next & 0x3F);
  }
  // Overlong forms, surrogates and values past Unicode are not UTF-8.
  if (code < smallest || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) InvalidUtf8();
  return code;
}

void EncodeUtf8(char32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::vector<SQLWCHAR> ToSqlWide(std::string_view AText) {
  std::vector<SQLWCHAR> wide;
  wide.reserve(AText.size() + 1);
  for (std::size_t i = 0; i < AText.size();) {
    const char32_t code = DecodeUtf8(AText, i);
    if (code < 0x10000) {
      wide.push_back(static_cast<SQLWCHAR>(code));
    } else {
      wide.push_back(static_cast<SQLWCHAR>(0xD800 + ((code - 0x10000) >> 10)));
      wide.push_back(static_cast<SQLWCHAR>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    }
  }
  wide.push_back(0);
  return wide;
}

std::string FromSqlWide(const SQLWCHAR* AText, std::size_t ALength) {
  std::string text;
  text.reserve(ALength);
  for (std::size_t i = 0; i < ALength; ++i) {
    const char32_t unit = AText[i];
    if (IsHighSurrogate(unit) && i + 1 < ALength && IsLowSurrogate(AText[i + 1])) {
      EncodeUtf8(0x10000 + ((unit - 0xD800) << 10) + (AText[i + 1] - 0xDC00), text);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      EncodeUtf8(kReplacement, text);
    } else {
      EncodeUtf8(unit, text);
    }
  }
  return text;
}

std::string ReadSqlWide(const std::function<SQLINTEGER(SQLWCHAR*, SQLINTEGER)>& AAsk,
                        std::size_t AUnits) {
  std::vector<SQLWCHAR> buffer(AUnits);
  const auto ask = [&] {
    const SQLINTEGER bytes =
        AAsk(buffer.data(), static_cast<SQLINTEGER>(buffer.size() * sizeof(SQLWCHAR)));
    return static_cast<std::size_t>(std::max<SQLINTEGER>(bytes, 0)) / sizeof(SQLWCHAR);
  };
  std::size_t units = ask();
  if (units >= buffer.size()) {
    buffer.assign(units + 1, 0);
    units = ask();
  }
  // A driver may answer more than it wrote: read up to its NUL, never past the buffer.
  const auto end =
      std::find(buffer.begin(), buffer.begin() + std::min(units, buffer.size() - 1), SQLWCHAR{0});
  return FromSqlWide(buffer.data(), static_cast<std::size_t>(end - buffer.begin()));
}

}  // namespace odbc
