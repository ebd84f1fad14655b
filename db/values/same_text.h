// Name comparison the way the server compares identifiers: ASCII letters
// without regard to case, everything else byte for byte.
#pragma once

#include <string_view>

// True when `A` and `B` are equal ignoring the case of ASCII letters.
bool SameText(std::string_view A, std::string_view B);
