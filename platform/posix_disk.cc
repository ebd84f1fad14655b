// The disk of a POSIX host, in the Windows form the program speaks: see
// posix_path.h for what a drive letter means here.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "core/exception.h"
#include "platform/case_insensitive_path.h"
#include "platform/disk.h"
#include "platform/mount_drive_type.h"
#include "platform/posix_path.h"

namespace platform {

namespace {

// The whole of `APath`; empty when it cannot be read.
std::string ReadText(const std::string& APath) {
  std::ifstream in(APath);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The kernel marks removable media on the whole disk, so a partition asks its
// parent.
bool IsRemovableDevice(std::string_view ADevice) {
  const std::string device = "/sys/dev/block/" + std::string(ADevice);
  for (const char* file : {"/removable", "/../removable"}) {
    const std::string flag = ReadText(device + file);
    if (!flag.empty()) return flag[0] == '1';
  }
  return false;
}

class PosixDisk final : public Disk {
 public:
  std::string ExecutableFileName() const override {
    std::error_code error;
    const std::filesystem::path file = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) throw Exception("Cannot tell the program's file name: " + error.message());
    return WindowsPathFromPosix(file.string());
  }

  std::optional<std::string> FindFile(const std::string& AFileName) const override {
    std::optional<std::string> path = PosixPathFromWindows(AFileName);
    if (path) path = MatchPathIgnoringCase(*path);
    struct stat info;
    if (!path || stat(path->c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
    return path;
  }

  DriveType DriveTypeOf(const std::string& ARoot) const override {
    return DriveTypeFromMountInfo(ARoot, ReadText("/proc/self/mountinfo"), IsRemovableDevice);
  }
};

}  // namespace

const Disk& SystemDisk() {
  static const PosixDisk disk;
  return disk;
}

}  // namespace platform
