// What the Win32 file services share: a file handle that closes itself, the
// system's text for an error, and the full name of a file for a message.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

class FileHandle {
 public:
  explicit FileHandle(HANDLE AHandle) : FHandle(AHandle) {}
  ~FileHandle() { CloseHandle(FHandle); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE Get() const { return FHandle; }

 private:
  HANDLE FHandle;
};

// The system's text for `AError`, without its closing line break.
std::string SystemReason(DWORD AError);

// `AFileName` as GetFullPathNameW gives it; the name itself when that fails.
std::string MessageFileName(const std::wstring& AFileName);

}  // namespace platform
