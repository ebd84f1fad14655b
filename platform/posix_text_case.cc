#include "platform/case_insensitive_path.h"
#include "platform/text_case.h"

namespace platform {

bool SameTextIgnoringCase(std::string_view A, std::string_view B) {
  return SameNameIgnoringCase(A, B);
}

}  // namespace platform
