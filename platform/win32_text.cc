#include "platform/win32_text.h"

#include <windows.h>

#include <climits>

#include "core/exception.h"

namespace platform {

namespace {

int Win32Length(size_t ALength) {
  if (ALength > INT_MAX) throw Exception("Text too long to pass to Windows");
  return static_cast<int>(ALength);
}

}  // namespace

std::wstring WideFromUtf8(std::string_view AText) {
  const int length = Win32Length(AText.size());
  if (length == 0) return {};
  std::wstring result(MultiByteToWideChar(CP_UTF8, 0, AText.data(), length, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, AText.data(), length, result.data(),
                      static_cast<int>(result.size()));
  return result;
}

std::string Utf8FromWide(std::wstring_view AText) {
  const int length = Win32Length(AText.size());
  if (length == 0) return {};
  std::string result(
      WideCharToMultiByte(CP_UTF8, 0, AText.data(), length, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_UTF8, 0, AText.data(), length, result.data(),
                      static_cast<int>(result.size()), nullptr, nullptr);
  return result;
}

}  // namespace platform
