// Writing a whole file at once, as the program's saved texts are written.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Creates the file `AFileName` (absolute, or relative to the current
// directory), replacing one that exists, and writes exactly `ABytes` to it.
// The texts saved this way name inmates, so on POSIX hosts the file is
// readable and writable by its owner only (mode 0600) whatever the umask: a
// regular file that exists is given that mode before it is emptied, and a
// symbolic link at the name is refused, never followed. On Windows the file
// has the access the system gives it (a new file its folder's, an existing
// one its own). Throws Exception
//   "Cannot create file "<full path>". <the system's reason>"
// when it cannot be created, opened or given its mode (a link at the name:
// "Too many levels of symbolic links"), and Exception with the system's
// reason when writing fails.
void WriteNewFile(const std::string& AFileName, std::string_view ABytes);

}  // namespace platform
