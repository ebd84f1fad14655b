#include <windows.h>

#include "core/exception.h"
#include "platform/full_path_name.h"
#include "platform/win32_text.h"

namespace platform {

std::string FullPathName(const std::string& AFileName) {
  if (AFileName.empty()) return {};
  const std::wstring name = WideFromUtf8(AFileName);
  const DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (length == 0) {
    throw Exception("Cannot make a full path of \"" + AFileName + "\" (Windows error " +
                    std::to_string(GetLastError()) + ")");
  }
  std::wstring full(length, L'\0');
  full.resize(GetFullPathNameW(name.c_str(), length, full.data(), nullptr));
  return Utf8FromWide(full);
}

std::string WindowsFormOfName(const std::string& AFileName) {
  return AFileName;
}

}  // namespace platform
