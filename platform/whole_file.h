// Reading a whole file at once, so that it is closed again before anything
// it holds is used.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The most bytes ReadWholeFile takes. A file of settings holds a few
// kilobytes; one this large is something else, and reading it would only
// fill memory.
inline constexpr std::size_t kWholeFileLimit = std::size_t{16} << 20;

// The bytes of the regular file `AFileName` (a name this host opens), read
// whole; the file is closed before this returns. It is opened so that no
// other process may write it meanwhile, where the system can promise that
// (Windows; POSIX hosts cannot forbid writers). Throws EFOpenError
//   Cannot open file "<full path>". <reason>
// when it cannot be opened (the system's reason), is no regular file but a
// device, pipe or folder ("Not a regular file"), or holds more than
// kWholeFileLimit bytes ("File larger than 16 MiB"); and Exception with the
// system's reason when reading it fails.
std::string ReadWholeFile(const std::string& AFileName);

}  // namespace platform
