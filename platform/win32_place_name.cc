#include "platform/place_name.h"

namespace platform {

std::string PlaceNameOnHost(const std::string& AWindowsName) {
  return AWindowsName;
}

}  // namespace platform
