#include "platform/mount_drive_type.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix_path.h"

namespace platform {

namespace {

struct Mount {
  std::string device;  // "major:minor"
  std::string mount_point;
  std::string file_system;
};

// File systems whose files live on another machine.
constexpr std::string_view kNetworkFileSystems[] = {
    "nfs",  "nfs4",   "cifs",      "smb3",  "smbfs",      "ncpfs", "afs",
    "ceph", "lustre", "glusterfs", "sshfs", "fuse.sshfs", "davfs", "coda"};

// File systems of optical discs, which are removable whatever the device says.
constexpr std::string_view kDiscFileSystems[] = {"iso9660", "udf"};

bool Contains(const auto& AList, std::string_view AName) {
  return std::find(std::begin(AList), std::end(AList), AName) != std::end(AList);
}

// `AField` with the kernel's octal escapes ("\040" for a blank) decoded.
std::string Unescape(std::string_view AField) {
  std::string result;
  for (size_t i = 0; i < AField.size(); ++i) {
    const bool escaped = AField[i] == '\\' && i + 3 < AField.size() &&
                         std::all_of(AField.begin() + i + 1, AField.begin() + i + 4,
                                     [](char c) { return c >= '0' && c <= '7'; });
    if (escaped) {
      result += static_cast<char>((AField[i + 1] - '0') * 64 + (AField[i + 2] - '0') * 8 +
                                  (AField[i + 3] - '0'));
      i += 3;
    } else {
      result += AField[i];
    }
  }
  return result;
}

std::vector<std::string_view> Fields(std::string_view ALine) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (start < ALine.size()) {
    const size_t end = std::min(ALine.find(' ', start), ALine.size());
    if (end > start) fields.push_back(ALine.substr(start, end - start));
    start = end + 1;
  }
  return fields;
}

// One line of mountinfo: "id parent major:minor root mount-point options
// [optional fields...] - type source super-options".
std::optional<Mount> ParseLine(std::string_view ALine) {
  const std::vector<std::string_view> fields = Fields(ALine);
  const auto separator = std::find(fields.begin(), fields.end(), "-");
  if (separator - fields.begin() < 6 || fields.end() - separator < 2) {
    return std::nullopt;
  }
  return Mount{std::string(fields[2]), Unescape(fields[4]), Unescape(separator[1])};
}

// The last mount on `APoint`, which hides those below it.
std::optional<Mount> TopMount(std::string_view AMountInfo, const std::string& APoint) {
  std::optional<Mount> top;
  size_t start = 0;
  while (start < AMountInfo.size()) {
    const size_t end = std::min(AMountInfo.find('\n', start), AMountInfo.size());
    std::optional<Mount> mount = ParseLine(AMountInfo.substr(start, end - start));
    if (mount && mount->mount_point == APoint) top = std::move(mount);
    start = end + 1;
  }
  return top;
}

}  // namespace

DriveType DriveTypeFromMountInfo(std::string_view ARoot, std::string_view AMountInfo,
                                 const RemovableDeviceProbe& AIsRemovable) {
  if (ARoot.size() != 3 || ARoot[1] != ':' || (ARoot[2] != '\\' && ARoot[2] != '/')) {
    return DriveType::kNoRootDir;
  }
  const std::string directory = DriveDirectory(ARoot[0]);
  if (directory.empty()) return DriveType::kNoRootDir;
  const std::optional<Mount> mount = TopMount(AMountInfo, directory);
  if (!mount) return directory == "/" ? DriveType::kFixed : DriveType::kNoRootDir;
  if (Contains(kDiscFileSystems, mount->file_system) || AIsRemovable(mount->device)) {
    return DriveType::kNoRootDir;
  }
  return Contains(kNetworkFileSystems, mount->file_system) ? DriveType::kRemote : DriveType::kFixed;
}

}  // namespace platform
