#include "config/ini_text.h"

#include "platform/ansi_decoding.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
constexpr char32_t kReplacementCharacter = 0xFFFD;

void AppendUtf8(std::string& AText, char32_t ACode) {
  if (ACode < 0x80) {
    AText += static_cast<char>(ACode);
  } else if (ACode < 0x800) {
    AText += static_cast<char>(0xC0 | ACode >> 6);
    AText += static_cast<char>(0x80 | (ACode & 0x3F));
  } else if (ACode < 0x10000) {
    AText += static_cast<char>(0xE0 | ACode >> 12);
    AText += static_cast<char>(0x80 | (ACode >> 6 & 0x3F));
    AText += static_cast<char>(0x80 | (ACode & 0x3F));
  } else {
    AText += static_cast<char>(0xF0 | ACode >> 18);
    AText += static_cast<char>(0x80 | (ACode >> 12 & 0x3F));
    AText += static_cast<char>(0x80 | (ACode >> 6 & 0x3F));
    AText += static_cast<char>(0x80 | (ACode & 0x3F));
  }
}

bool IsHighSurrogate(char16_t AUnit) {
  return AUnit >= 0xD800 && AUnit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t AUnit) {
  return AUnit >= 0xDC00 && AUnit <= 0xDFFF;
}

std::string Utf8FromUtf16(std::string_view ABytes, bool ABigEndian) {
  std::u16string units(ABytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    const auto first = static_cast<unsigned char>(ABytes[2 * i]);
    const auto second = static_cast<unsigned char>(ABytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(ABigEndian ? first << 8 | second : second << 8 | first);
  }
  std::string text;
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t unit = units[i];
    if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(text, kReplacementCharacter);
    } else {
      AppendUtf8(text, unit);
    }
  }
  return text;
}

}  // namespace

std::string IniTextFromBytes(std::string_view ABytes) {
  if (ABytes.starts_with(kUtf8Mark)) return std::string(ABytes.substr(kUtf8Mark.size()));
  if (ABytes.starts_with(kUtf16LittleEndianMark)) {
    return Utf8FromUtf16(ABytes.substr(kUtf16LittleEndianMark.size()), false);
  }
  if (ABytes.starts_with(kUtf16BigEndianMark)) {
    return Utf8FromUtf16(ABytes.substr(kUtf16BigEndianMark.size()), true);
  }
  return platform::Utf8FromAnsi(ABytes);
}
