#include "platform/win32_file.h"

#include "platform/win32_text.h"

namespace platform {

std::string SystemReason(DWORD AError) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, AError, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring reason(text, length);
  LocalFree(text);
  while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n')) reason.pop_back();
  return Utf8FromWide(reason);
}

std::string MessageFileName(const std::wstring& AFileName) {
  const DWORD length = GetFullPathNameW(AFileName.c_str(), 0, nullptr, nullptr);
  if (length == 0) return Utf8FromWide(AFileName);
  std::wstring full(length, L'\0');
  full.resize(GetFullPathNameW(AFileName.c_str(), length, full.data(), nullptr));
  return Utf8FromWide(full);
}

}  // namespace platform
