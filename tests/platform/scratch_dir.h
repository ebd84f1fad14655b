// Real directories for tests of the host's file system.
#pragma once

#include <filesystem>
#include <string>

namespace platform_test {

// A fresh directory under the system's temporary directory ($TMPDIR or /tmp;
// %TEMP% on Windows), removed with its content.
class ScratchDir {
 public:
  // Throws std::system_error when the directory cannot be made.
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  // Creates the file `ARelative` (UTF-8, and its folders) holding `AText`.
  void AddFile(const std::string& ARelative, const std::string& AText = "") const;

 private:
  std::filesystem::path FPath;
};

// Makes `ADirectory` the current directory until destroyed; then the former
// one is current again.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& ADirectory);
  ~CurrentDirectory();
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path FFormer;
};

}  // namespace platform_test
