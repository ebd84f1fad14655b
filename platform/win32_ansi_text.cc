#include <windows.h>

#include "core/exception.h"
#include "platform/ansi_text.h"
#include "platform/win32_text.h"

namespace platform {

bool AnsiCodePageIsUtf8() {
  return GetACP() == CP_UTF8;
}

std::string AnsiFromUtf8(std::string_view AText) {
  const std::wstring wide = WideFromUtf8(AText);
  if (wide.empty()) return {};
  const int wideLength = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (length == 0) throw Exception("Cannot convert text to the ANSI code page");
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, out.data(), length, nullptr, nullptr);
  return out;
}

}  // namespace platform
