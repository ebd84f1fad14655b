#include <windows.h>

#include <climits>

#include "core/exception.h"
#include "platform/ansi_decoding.h"
#include "platform/win32_text.h"

namespace platform {

std::string Utf8FromAnsi(std::string_view ABytes) {
  if (ABytes.empty()) return {};
  if (ABytes.size() > INT_MAX) throw Exception("Text too long to pass to Windows");
  const int length = static_cast<int>(ABytes.size());
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, ABytes.data(), length, nullptr, 0);
  if (wideLength == 0) throw Exception("Cannot convert text from the ANSI code page");
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ABytes.data(), length, wide.data(), wideLength);
  return Utf8FromWide(wide);
}

}  // namespace platform
