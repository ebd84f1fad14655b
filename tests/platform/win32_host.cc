#include "win32_host.h"

#include <windows.h>

#include <stdexcept>

#include "platform/win32_text.h"

namespace platform_test {

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool HasTestDrives() {
  return GetFileAttributesW(L"T:\\synch-test-drives") != INVALID_FILE_ATTRIBUTES;
}

char AbsentDriveLetter() {
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'C'; letter <= 'Z'; ++letter) {
    if ((drives & (1u << (letter - 'A'))) == 0) return letter;
  }
  throw std::runtime_error("every drive letter names a drive");
}

std::string WineNameOf(std::string_view APosixPath) {
  std::string name = "Z:" + std::string(APosixPath);
  for (char& c : name) {
    if (c == '/') c = '\\';
  }
  return name;
}

std::string SystemText(unsigned long AError) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, AError, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide(text, length);
  LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n')) wide.pop_back();
  return platform::Utf8FromWide(wide);
}

}  // namespace platform_test
