#include <windows.h>

#include "platform/file_open_error.h"
#include "platform/whole_file.h"
#include "platform/win32_file.h"
#include "platform/win32_text.h"

namespace platform {

std::string ReadWholeFile(const std::string& AFileName) {
  const std::wstring name = WideFromUtf8(AFileName);
  // Readers may share the file; writers may not while it is being read.
  const HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    throw EFOpenError("Cannot open file \"" + MessageFileName(name) + "\". " + SystemReason(error));
  }
  const FileHandle file(handle);
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
