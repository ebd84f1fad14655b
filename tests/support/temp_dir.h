// A private directory for one test's files, removed with everything in it.
#pragma once

#include <filesystem>
#include <string>

namespace standin_test {

class TempDir {
 public:
  // Creates a fresh directory under the system's temporary directory ($TMPDIR or
  // /tmp; %TEMP% on Windows); throws std::system_error.
  TempDir();
  // Removes the directory tree; errors are ignored.
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The whole content of `path`; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

}  // namespace standin_test
