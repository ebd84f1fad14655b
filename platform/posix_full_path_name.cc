#include <filesystem>
#include <system_error>

#include "core/exception.h"
#include "platform/full_path_name.h"
#include "platform/full_path_text.h"
#include "platform/posix_path.h"

namespace platform {

std::string FullPathName(const std::string& AFileName) {
  if (AFileName.empty()) return {};
  std::error_code error;
  const std::filesystem::path current = std::filesystem::current_path(error);
  if (error) throw Exception("Cannot tell the current directory: " + error.message());
  return FullPathFromCurrent(AFileName, WindowsPathFromPosix(current.string()));
}

std::string WindowsFormOfName(const std::string& AFileName) {
  if (AFileName.starts_with('/')) return WindowsPathFromPosix(AFileName);
  std::string name = AFileName;
  for (char& c : name) {
    if (c == '/') c = '\\';
  }
  return name;
}

}  // namespace platform
