#include "platform/mount_universal_name.h"

#include <algorithm>
#include <cctype>

#include "platform/mount_table.h"
#include "platform/posix_path.h"

namespace platform {

namespace {

constexpr std::string_view kShareFileSystems[] = {"cifs", "smb3", "smbfs"};

bool IsShareFileSystem(std::string_view AName) {
  return std::find(std::begin(kShareFileSystems), std::end(kShareFileSystems), AName) !=
         std::end(kShareFileSystems);
}

bool HasDriveLetter(const std::string& APath) {
  return APath.size() >= 2 && APath[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(APath[0])) != 0;
}

// The directory of the drive that holds `APosixPath` (absolute): /mnt/x for
// a path inside /mnt/d ... /mnt/z, "/" for any other.
std::string DriveDirectoryHolding(std::string_view APosixPath) {
  for (char letter = 'd'; letter <= 'z'; ++letter) {
    const std::string directory = DriveDirectory(letter);
    if (APosixPath.starts_with(directory) &&
        (APosixPath.size() == directory.size() || APosixPath[directory.size()] == '/')) {
      return directory;
    }
  }
  return "/";
}

std::string WithBackslashes(std::string AText) {
  std::replace(AText.begin(), AText.end(), '/', '\\');
  return AText;
}

}  // namespace

std::optional<std::string> UniversalNameFromMountInfo(const std::string& APath,
                                                      std::string_view AMountInfo) {
  if (!HasDriveLetter(APath)) return std::nullopt;
  const std::optional<std::string> path = PosixPathFromWindows(APath);
  if (!path || !path->starts_with('/')) return std::nullopt;
  const std::string drive = DriveDirectoryHolding(*path);
  const std::optional<Mount> mount = TopMountAt(AMountInfo, drive);
  if (!mount || !IsShareFileSystem(mount->file_system) || !mount->source.starts_with("//")) {
    return std::nullopt;
  }
  std::string share = mount->source;
  while (share.size() > 2 && share.back() == '/') share.pop_back();
  const std::string rest = drive == "/" ? *path : path->substr(drive.size());
  return WithBackslashes(share + rest);
}

}  // namespace platform
