#include <windows.h>

#include <algorithm>

#include "core/exception.h"
#include "platform/new_file.h"
#include "platform/win32_file.h"
#include "platform/win32_text.h"

namespace platform {

void WriteNewFile(const std::string& AFileName, std::string_view ABytes) {
  const std::wstring name = WideFromUtf8(AFileName);
  const HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    throw Exception("Cannot create file \"" + MessageFileName(name) + "\". " + SystemReason(error));
  }
  FileHandle file(handle);
  while (!ABytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(ABytes.size(), 1u << 30));
    if (!WriteFile(file.Get(), ABytes.data(), chunk, &written, nullptr)) {
      throw Exception("Cannot write file \"" + MessageFileName(name) + "\". " +
                      SystemReason(GetLastError()));
    }
    ABytes.remove_prefix(written);
  }
}

}  // namespace platform
