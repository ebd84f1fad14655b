// How a message names a place the configuration search looked at: the search
// speaks Windows-form names on every host (posix_path.h), whoever reads the
// message speaks the host's.
#pragma once

#include <string>

namespace platform {

// `AWindowsName` as a user of this host knows it: unchanged on Windows. On
// POSIX hosts its POSIX path, followed, when its folder is a symbolic link or
// lies behind one, by where the name leads, in parentheses:
// "/usr/lib/x/Vantor.Cfg/Vantor.ini (/etc/Vantor.Cfg/Vantor.ini)"; a link
// leads as far as its target exists, and a name no POSIX path stands for
// stays as it is. Folders are matched without regard to letter case, as the
// search matches them. Never throws.
std::string PlaceNameOnHost(const std::string& AWindowsName);

}  // namespace platform
