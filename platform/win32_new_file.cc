#include <windows.h>

#include <algorithm>

#include "core/exception.h"
#include "platform/new_file.h"
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

void WriteNewFile(const std::string& AFileName, std::string_view ABytes) {
  const std::wstring name = WideFromUtf8(AFileName);
  const HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    throw Exception("Cannot create file \"" + FullPath(name) + "\". " + SystemReason(error));
  }
  FileHandle file(handle);
  while (!ABytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(ABytes.size(), 1u << 30));
    if (!WriteFile(file.Get(), ABytes.data(), chunk, &written, nullptr)) {
      throw Exception("Cannot write file \"" + FullPath(name) + "\". " +
                      SystemReason(GetLastError()));
    }
    ABytes.remove_prefix(written);
  }
}

}  // namespace platform
