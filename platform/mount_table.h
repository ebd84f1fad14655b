// The mount table of a Linux host as /proc/self/mountinfo writes it, for the
// questions the program asks of its drives: what a drive is, and where a
// network drive's files really live.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct Mount {
  std::string device;  // "major:minor"
  std::string mount_point;
  std::string file_system;  // "ext4", "cifs", ...
  std::string source;       // "/dev/sda1", "//server/share", ...
};

// The mount that `AMountInfo` (the text of /proc/self/mountinfo) lists last
// on exactly `AMountPoint`: of mounts stacked on one point the last hides the
// others. Nothing when none is listed there. Lines that are not mount lines
// are skipped; the kernel's octal escapes ("\040" for a blank) are decoded.
std::optional<Mount> TopMountAt(std::string_view AMountInfo, std::string_view AMountPoint);

}  // namespace platform
