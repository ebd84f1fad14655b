#include "scratch_dir.h"

#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace platform_test {

// A random name that no other directory has yet: create_directory tells
// whether this call made it, so tests running at once never share one.
ScratchDir::ScratchDir() {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ostringstream name;
    name << "platform-test-" << std::hex << random();
    const std::filesystem::path candidate = base / name.str();
    if (std::filesystem::create_directory(candidate)) {
      // Canonical, so the names tests expect match what the host reports.
      FPath = std::filesystem::canonical(candidate);
      return;
    }
  }
  throw std::system_error(std::make_error_code(std::errc::file_exists),
                          "no fresh directory under " + base.string());
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(FPath, ignored);
}

// Names are UTF-8; Windows would read a narrow name in the ANSI code page.
void ScratchDir::AddFile(const std::string& ARelative, const std::string& AText) const {
  const std::filesystem::path file = FPath / std::u8string(ARelative.begin(), ARelative.end());
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
