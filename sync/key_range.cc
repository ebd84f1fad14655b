#include "sync/key_range.h"

#include <limits>
#include <string>

#include "core/exception.h"

std::int32_t Int32Key(std::int64_t AKey, const char* ATable) {
  if (AKey < std::numeric_limits<std::int32_t>::min() ||
      AKey > std::numeric_limits<std::int32_t>::max()) {
    throw Exception("Key " + std::to_string(AKey) + " of " + ATable +
                    " does not fit a 32-bit integer");
  }
  return static_cast<std::int32_t>(AKey);
}
