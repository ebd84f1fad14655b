#include <fstream>
#include <sstream>

#include "platform/mount_universal_name.h"
#include "platform/universal_name.h"

namespace platform {

std::optional<std::string> UniversalName(const std::string& APath) {
  std::ifstream table("/proc/self/mountinfo");
  std::ostringstream text;
  text << table.rdbuf();
  return UniversalNameFromMountInfo(APath, text.str());
}

}  // namespace platform
