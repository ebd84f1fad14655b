#include <sys/stat.h>

#include "platform/others_may_read.h"

namespace platform {

bool OthersMayRead(const std::string& AFileName) {
  struct stat status {};
  return stat(AFileName.c_str(), &status) == 0 && (status.st_mode & S_IROTH) != 0;
}

}  // namespace platform
