// A private directory for one test's files, removed with everything in it.
#pragma once

#include <filesystem>

namespace standin_test {

class TempDir {
 public:
  // Creates a fresh directory under $TMPDIR (or /tmp); throws std::system_error.
  TempDir();
  // Removes the directory tree; errors are ignored.
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace standin_test
