// The drive types of a POSIX host, read from its mount table: C: is "/",
// D: to Z: are the mount points /mnt/d to /mnt/z.
#pragma once

#include <functional>
#include <string_view>

#include "platform/disk.h"

namespace platform {

// Whether the block device numbered `ADevice` ("major:minor") holds
// removable media.
using RemovableDeviceProbe = std::function<bool(std::string_view ADevice)>;

// The type of drive root `ARoot` ("D:\") on a host whose mount table reads
// `AMountInfo` (the text of /proc/self/mountinfo). Of mounts stacked on one
// point the last counts. kRemote for network file systems (nfs, cifs, smb3,
// sshfs and the like); kNoRootDir for a drive whose directory is no mount
// point (C: always has one), for removable media, optical discs, A:, B: and
// anything not a drive root; kFixed otherwise.
DriveType DriveTypeFromMountInfo(std::string_view ARoot, std::string_view AMountInfo,
                                 const RemovableDeviceProbe& AIsRemovable);

}  // namespace platform
