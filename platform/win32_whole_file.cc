#include <windows.h>

#include "platform/file_open_error.h"
#include "platform/whole_file.h"
#include "platform/win32_text.h"

namespace platform {

namespace {

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

std::string FullPath(const std::wstring& AFileName) {
  const DWORD length = GetFullPathNameW(AFileName.c_str(), 0, nullptr, nullptr);
  if (length == 0) return Utf8FromWide(AFileName);
  std::wstring full(length, L'\0');
  full.resize(GetFullPathNameW(AFileName.c_str(), length, full.data(), nullptr));
  return Utf8FromWide(full);
}

}  // namespace

std::string ReadWholeFile(const std::string& AFileName) {
  const std::wstring name = WideFromUtf8(AFileName);
  // Readers may share the file; writers may not while it is being read.
  const HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    throw EFOpenError("Cannot open file \"" + FullPath(name) + "\". " + SystemReason(error));
  }
  const FileHandle file(handle);
  std::string bytes;
  char buffer[65536];
  for (;;) {
    DWORD count = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &count, nullptr)) {
      throw Exception("Cannot read file \"" + FullPath(name) + "\". " +
                      SystemReason(GetLastError()));
    }
    if (count == 0) break;
    bytes.append(buffer, count);
  }
  return bytes;
}

}  // namespace platform
