#include "platform/posix_file.h"

#include <filesystem>
#include <system_error>

namespace platform {

std::string MessageFileName(const std::string& AFileName) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(AFileName, error);
  return error ? AFileName : full.lexically_normal().string();
}

}  // namespace platform
