// Reading a whole file at once, so that it is closed again before anything
// it holds is used.
#pragma once

#include <string>

namespace platform {

// The bytes of the file `AFileName` (a name this host opens), read whole;
// the file is closed before this returns. It is opened so that no other
// process may write it meanwhile, where the system can promise that
// (Windows; POSIX hosts cannot forbid writers). Throws EFOpenError
//   Cannot open file "<full path>". <the system's reason>
// when it cannot be opened, and Exception with the system's reason when
// reading it fails.
std::string ReadWholeFile(const std::string& AFileName);

}  // namespace platform
