// Windows converts to the ANSI code page with "best fit" unless told not to:
// "Ω" would be written as "O" and "Ā" as "A", a different name on paper. A
// character the code page lacks must show as the default character instead.
#include <windows.h>

#include "core/exception.h"
#include "platform/ansi_text.h"
#include "platform/win32_text.h"

namespace platform {

namespace {

bool IsHighSurrogate(wchar_t AUnit) {
  return AUnit >= 0xD800 && AUnit <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t AUnit) {
  return AUnit >= 0xDC00 && AUnit <= 0xDFFF;
}

// No ANSI code page but UTF-8 holds a character beyond U+FFFF, and Windows
// would write one default character for each half of its surrogate pair; the
// pair becomes U+FFFD, which these code pages lack too, so one character
// gives one default character.
std::wstring OneUnitPerCharacter(std::wstring AText) {
  std::wstring out;
  out.reserve(AText.size());
  for (size_t i = 0; i < AText.size(); ++i) {
    if (IsHighSurrogate(AText[i]) && i + 1 < AText.size() && IsLowSurrogate(AText[i + 1])) {
      out += L'\xFFFD';
      ++i;
    } else {
      out += AText[i];
    }
  }
  return out;
}

}  // namespace

bool AnsiCodePageIsUtf8() {
  return GetACP() == CP_UTF8;
}

std::string AnsiFromUtf8(std::string_view AText) {
  const bool utf8 = AnsiCodePageIsUtf8();
  const std::wstring wide = utf8 ? WideFromUtf8(AText) : OneUnitPerCharacter(WideFromUtf8(AText));
  if (wide.empty()) return {};
  // UTF-8 refuses the best-fit flag; it has every character anyway.
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int wideLength = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_ACP, flags, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (length == 0) throw Exception("Cannot convert text to the ANSI code page");
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), wideLength, out.data(), length, nullptr, nullptr);
  return out;
}

}  // namespace platform
