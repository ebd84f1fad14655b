#include "scratch_dir.h"

#include <stdlib.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace platform_test {

ScratchDir::ScratchDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/platform-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
  }
  // Canonical, so the names tests expect match what the host reports.
  FPath = std::filesystem::canonical(pattern);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(FPath, ignored);
}

void ScratchDir::AddFile(const std::string& ARelative, const std::string& AText) const {
  const std::filesystem::path file = FPath / ARelative;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << AText;
}

CurrentDirectory::CurrentDirectory(const std::filesystem::path& ADirectory)
    : FFormer(std::filesystem::current_path()) {
  std::filesystem::current_path(ADirectory);
}

CurrentDirectory::~CurrentDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(FFormer, ignored);
}

}  // namespace platform_test
