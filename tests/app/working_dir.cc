#include "working_dir.h"

namespace app_test {

WorkingDir::WorkingDir() : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(dir_.path());
}

WorkingDir::~WorkingDir() {
  std::filesystem::current_path(previous_);
}

}  // namespace app_test
