#include <windows.h>

#include "platform/file_open_error.h"
#include "platform/whole_file.h"
#include "platform/win32_file.h"
#include "platform/win32_text.h"

namespace platform {

namespace {

[[noreturn]] void RefuseToOpen(const std::wstring& AFileName, const std::string& AReason) {
  throw EFOpenError("Cannot open file \"" + MessageFileName(AFileName) + "\". " + AReason);
}

}  // namespace

std::string ReadWholeFile(const std::string& AFileName) {
  const std::wstring name = WideFromUtf8(AFileName);
  // Readers may share the file; writers may not while it is being read.
  const HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) RefuseToOpen(name, SystemReason(GetLastError()));
  const FileHandle file(handle);
  // Devices (CON, NUL, COM1) and pipes open like files but are none.
  if (GetFileType(file.Get()) != FILE_TYPE_DISK) RefuseToOpen(name, "Not a regular file");
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) RefuseToOpen(name, SystemReason(GetLastError()));
  if (static_cast<unsigned long long>(size.QuadPart) > kWholeFileLimit) {
    RefuseToOpen(name, "File larger than 16 MiB");
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    DWORD count = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &count, nullptr)) {
      throw Exception("Cannot read file \"" + MessageFileName(name) + "\". " +
                      SystemReason(GetLastError()));
    }
    if (count == 0) break;
    bytes.append(buffer, count);
  }
  return bytes;
}

}  // namespace platform
