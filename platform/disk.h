// The file system as the configuration search sees it: names in Windows form
// (drive letters, "\" separators) on every host, so the search reads the same
// everywhere and tests can stand in any disk layout.
#pragma once

#include <optional>
#include <string>

namespace platform {

// A drive's type, numbered as Windows numbers them.
enum class DriveType {
  kUnknown = 0,
  kNoRootDir = 1,  // no such drive
  kRemovable = 2,
  kFixed = 3,
  kRemote = 4,  // a network drive
  kCdRom = 5,
  kRamDisk = 6,
};

class Disk {
 public:
  virtual ~Disk() = default;

  // The running program's full file name in Windows form. Throws Exception
  // when the system cannot tell it.
  virtual std::string ExecutableFileName() const = 0;
  // When a file exists at `AFileName` (Windows form, absolute or relative to
  // the current directory), the name a user of this host opens it by;
  // otherwise nothing. Links are followed, a folder does not count, a file
  // held open by another process does. Never throws: a name that cannot be a
  // path names no file.
  virtual std::optional<std::string> FindFile(const std::string& AFileName) const = 0;
  // The type of the drive whose root is `ARoot` ("C:\"). Never throws.
  virtual DriveType DriveTypeOf(const std::string& ARoot) const = 0;
};

// This host's disk, looked at afresh on every call.
const Disk& SystemDisk();

}  // namespace platform
