// A private temporary directory made the current one for a test, as the
// program's current directory is where Save Log writes.
#pragma once

#include <filesystem>

#include "temp_dir.h"

namespace app_test {

class WorkingDir {
 public:
  WorkingDir();
  // Returns to the directory current before.
  ~WorkingDir();
  WorkingDir(const WorkingDir&) = delete;
  WorkingDir& operator=(const WorkingDir&) = delete;

  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  standin_test::TempDir dir_;
  std::filesystem::path previous_;
};

}  // namespace app_test
