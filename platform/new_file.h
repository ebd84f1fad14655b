// Writing a whole file at once, as the program's saved texts are written.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Creates the file `AFileName` (absolute, or relative to the current
// directory), replacing one that exists, and writes exactly `ABytes` to it.
// Throws Exception
//   "Cannot create file "<full path>". <the system's reason>"
// when it cannot be created, and Exception with the system's reason when
// writing fails.
void WriteNewFile(const std::string& AFileName, std::string_view ABytes);

}  // namespace platform
