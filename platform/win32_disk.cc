// The disk of a Windows host: names pass to Win32 unchanged.
#include <windows.h>

#include <string>

#include "core/exception.h"
#include "platform/disk.h"
#include "platform/win32_text.h"

namespace platform {

namespace {

// An open file or folder, closed with the object.
class FileHandle {
 public:
  explicit FileHandle(HANDLE AHandle) : FHandle(AHandle) {}
  ~FileHandle() {
    if (Valid()) CloseHandle(FHandle);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return FHandle; }

 private:
  HANDLE FHandle;
};

// A directory search, ended with the object.
class FindHandle {
 public:
  explicit FindHandle(HANDLE AHandle) : FHandle(AHandle) {}
  ~FindHandle() {
    if (Valid()) FindClose(FHandle);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;

  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }

 private:
  HANDLE FHandle;
};

bool IsFolder(DWORD AAttributes) {
  return (AAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A file another process holds open without sharing hides its attributes,
// but its folder still lists it.
bool ListedAsFile(const std::wstring& AName) {
  WIN32_FIND_DATAW data;
  const FindHandle search(FindFirstFileW(AName.c_str(), &data));
  return search.Valid() && !IsFolder(data.dwFileAttributes);
}

// The attributes of a link describe the link; opening it reaches its target.
// No access is asked for, so only a missing target (or a folder) says no.
bool LinkLeadsToFile(const std::wstring& AName) {
  const FileHandle file(CreateFileW(AName.c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.Valid()) return GetLastError() == ERROR_SHARING_VIOLATION;
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileInformationByHandle(file.Get(), &info) && !IsFolder(info.dwFileAttributes);
}

class Win32Disk final : public Disk {
 public:
  // A name that fills the buffer may have been cut short (programs installed
  // under long paths), so the buffer grows until the name fits.
  std::string ExecutableFileName() const override {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
      const DWORD size = static_cast<DWORD>(name.size());
      const DWORD length = GetModuleFileNameW(nullptr, name.data(), size);
      if (length == 0) {
        throw Exception("Cannot tell the program's file name (Windows error " +
                        std::to_string(GetLastError()) + ")");
      }
      if (length < size) return Utf8FromWide(std::wstring_view(name.data(), length));
      name.resize(name.size() * 2);
    }
  }

  std::optional<std::string> FindFile(const std::string& AFileName) const override {
    if (AFileName.find('\0') != std::string::npos) return std::nullopt;
    const std::wstring name = WideFromUtf8(AFileName);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    bool exists;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      exists = GetLastError() == ERROR_SHARING_VIOLATION && ListedAsFile(name);
    } else if (IsFolder(attributes)) {
      exists = false;
    } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      exists = LinkLeadsToFile(name);
    } else {
      exists = true;
    }
    if (!exists) return std::nullopt;
    return AFileName;
  }

  DriveType DriveTypeOf(const std::string& ARoot) const override {
    return static_cast<DriveType>(GetDriveTypeW(WideFromUtf8(ARoot).c_str()));
  }
};

}  // namespace

const Disk& SystemDisk() {
  static const Win32Disk disk;
  return disk;
}

}  // namespace platform
