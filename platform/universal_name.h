// The network form of a name on a mapped drive, for settings that must mean
// the same file on every workstation of the site.
#pragma once

#include <optional>
#include <string>

namespace platform {

// "\\server\share\rest" for `APath`, a full Windows-form path on drive
// letter X ("X:\rest"), when X is a drive mapped to the network share
// \\server\share; nothing when it is not (a local drive, no such drive, or
// the system cannot tell). Never throws.
//
// On POSIX hosts a drive is mapped to a share when the directory it stands
// for (see posix_path.h) is a cifs/smb mount point; the share is the mount's
// source.
std::optional<std::string> UniversalName(const std::string& APath);

}  // namespace platform
