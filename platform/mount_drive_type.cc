#include "platform/mount_drive_type.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>

#include "platform/mount_table.h"
#include "platform/posix_path.h"

namespace platform {

namespace {

// File systems whose files live on another machine.
constexpr std::string_view kNetworkFileSystems[] = {
    "nfs",  "nfs4",   "cifs",      "smb3",  "smbfs",      "ncpfs", "afs",
    "ceph", "lustre", "glusterfs", "sshfs", "fuse.sshfs", "davfs", "coda"};

// File systems of optical discs, which are removable whatever the device says.
constexpr std::string_view kDiscFileSystems[] = {"iso9660", "udf"};

bool Contains(const auto& AList, std::string_view AName) {
  return std::find(std::begin(AList), std::end(AList), AName) != std::end(AList);
}

}  // namespace

DriveType DriveTypeFromMountInfo(std::string_view ARoot, std::string_view AMountInfo,
                                 const RemovableDeviceProbe& AIsRemovable) {
  if (ARoot.size() != 3 || ARoot[1] != ':' || (ARoot[2] != '\\' && ARoot[2] != '/')) {
    return DriveType::kNoRootDir;
  }
  const std::string directory = DriveDirectory(ARoot[0]);
  if (directory.empty()) return DriveType::kNoRootDir;
  const std::optional<Mount> mount = TopMountAt(AMountInfo, directory);
  if (!mount) return directory == "/" ? DriveType::kFixed : DriveType::kNoRootDir;
  if (Contains(kDiscFileSystems, mount->file_system) || AIsRemovable(mount->device)) {
    return DriveType::kNoRootDir;
  }
  return Contains(kNetworkFileSystems, mount->file_system) ? DriveType::kRemote : DriveType::kFixed;
}

}  // namespace platform
