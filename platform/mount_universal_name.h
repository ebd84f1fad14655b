// The POSIX side of UniversalName (universal_name.h), on a mount table given
// as text so that any layout of shares can be tried.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// UniversalName(`APath`) on a host whose /proc/self/mountinfo reads
// `AMountInfo`: the path must lie in the directory of a drive (C: is "/", D:
// to Z: are /mnt/d to /mnt/z; the deepest one holding it counts) whose top
// mount is cifs, smb3 or smbfs, with a source "//server/share[/folder]".
std::optional<std::string> UniversalNameFromMountInfo(const std::string& APath,
                                                      std::string_view AMountInfo);

}  // namespace platform
