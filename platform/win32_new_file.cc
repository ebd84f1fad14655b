#include <windows.h>

#include <algorithm>

#include "core/exception.h"
#include "platform/new_file.h"
#include "platform/win32_file.h"
#include "platform/win32_text.h"

namespace platform {

struct NewFile::Handle {
  std::wstring Name;
  FileHandle File;
};

NewFile::NewFile(const std::string& AFileName) {
  const std::wstring name = WideFromUtf8(AFileName);
  // Opened, not emptied: the file keeps what it holds until Write.
  const HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    throw Exception("Cannot create file \"" + MessageFileName(name) + "\". " + SystemReason(error));
  }
  FHandle.reset(new Handle{name, FileHandle(handle)});
}

NewFile::~NewFile() = default;

void NewFile::Write(std::string_view ABytes) {
  const HANDLE file = FHandle->File.Get();
  const auto refuse = [this] {
    const DWORD error = GetLastError();
    throw Exception("Cannot write file \"" + MessageFileName(FHandle->Name) + "\". " +
                    SystemReason(error));
  };
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
      !SetEndOfFile(file)) {
    refuse();
  }
  while (!ABytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(ABytes.size(), 1u << 30));
    if (!WriteFile(file, ABytes.data(), chunk, &written, nullptr)) refuse();
    ABytes.remove_prefix(written);
  }
}

void WriteNewFile(const std::string& AFileName, std::string_view ABytes) {
  NewFile(AFileName).Write(ABytes);
}

}  // namespace platform
