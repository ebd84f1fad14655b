#include <windows.h>
#include <winnetwk.h>

#include <vector>

#include "platform/universal_name.h"
#include "platform/win32_text.h"

namespace platform {

std::optional<std::string> UniversalName(const std::string& APath) {
  if (APath.find('\0') != std::string::npos) return std::nullopt;
  const std::wstring path = WideFromUtf8(APath);
  DWORD size = 1024;
  std::vector<BYTE> buffer(size);
  DWORD result =
      WNetGetUniversalNameW(path.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &size);
  if (result == ERROR_MORE_DATA) {
    buffer.resize(size);
    result = WNetGetUniversalNameW(path.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &size);
  }
  if (result != NO_ERROR) return std::nullopt;
  return Utf8FromWide(
      reinterpret_cast<const UNIVERSAL_NAME_INFOW*>(buffer.data())->lpUniversalName);
}

}  // namespace platform
