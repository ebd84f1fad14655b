// Full path names in Windows form, as the settings that name files beside
// the configuration file report them on every host.
#pragma once

#include <string>

namespace platform {

// `AFileName` as a full path in Windows form: made absolute against the
// process's current directory (a name rooted without a drive takes the
// current directory's drive), "." and ".." resolved (never above the drive
// or the \\server\share root), separators written "\"; a trailing separator
// stays; an empty name stays empty. Throws Exception when the current directory cannot be told.
std::string FullPathName(const std::string& AFileName);

// `AFileName` as this host names files, written in Windows form: unchanged on
// Windows; on POSIX hosts an absolute path gets drive C: (see posix_path.h)
// and every "/" becomes "\".
std::string WindowsFormOfName(const std::string& AFileName);

}  // namespace platform
