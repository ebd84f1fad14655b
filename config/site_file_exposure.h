// Whether the site configuration file leaves a password where every user of
// the host may read it.
#pragma once

#include <string>

#include "platform/disk.h"

// Whether the site configuration file `AIniFile` (as TVantorIni::VantorIni
// names it, found as `ADisk` finds files) gives a password to users other
// than its owner and group: they may read it (platform/others_may_read.h:
// never on Windows), and its [DataProvider] ConnStr gives a password (a
// Password or PWD entry with a value). Throws as ReadIniFile when the file,
// readable by others, cannot be read.
bool SiteFileExposesPassword(const std::string& AIniFile, const platform::Disk& ADisk);
