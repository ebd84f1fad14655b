#include "temp_dir.h"

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <system_error>

namespace standin_test {

// A random name that no other directory has yet: create_directory tells
// whether this call made it, so two tests never share one.
TempDir::TempDir() {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ostringstream name;
    name << "standin-test-" << std::hex << random();
    const std::filesystem::path candidate = base / name.str();
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::system_error(std::make_error_code(std::errc::file_exists),
                          "no fresh directory under " + base.string());
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace standin_test
