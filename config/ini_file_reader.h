// Reading the site configuration file, whole, each time the settings are read.
#pragma once

#include <string>

#include "config/ini_values.h"
#include "platform/disk.h"

// The sections and entries of the file named `AFileName` (found as `ADisk`
// finds files), read whole and closed again before this returns; its
// encoding as IniTextFromBytes (ini_text.h) tells. An empty name, or one at
// which no file exists, reads as a file without sections. Throws EFOpenError
// (platform/file_open_error.h) naming the file's full path and the system's
// reason when an existing file cannot be opened, and with its own reason
// when it is a device, a pipe or larger than any file of settings
// (platform/whole_file.h).
TIniValues ReadIniFile(const std::string& AFileName,
                       const platform::Disk& ADisk = platform::SystemDisk());
