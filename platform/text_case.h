// Comparing names that people type (ini sections and keys, connect-string
// keys) the way the operator's system compares them.
#pragma once

#include <string_view>

namespace platform {

// Whether `A` and `B` (UTF-8) are the same text without regard to letter
// case, in every script: the user's locale decides on Windows (as
// CompareStringEx with NORM_IGNORECASE); POSIX hosts compare the Unicode
// upper-case forms (case_insensitive_path.h).
bool SameTextIgnoringCase(std::string_view A, std::string_view B);

}  // namespace platform
