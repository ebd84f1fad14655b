// Whether a file's permissions let every user of the host read it, for a
// file that holds secrets.
#pragma once

#include <string>

namespace platform {

// Whether users other than the owner and the group of the file `AFileName`
// may read it: its POSIX other-read bit (a link is followed). Never on
// Windows, whose access lists its administrators keep. False when the file
// cannot be looked at.
bool OthersMayRead(const std::string& AFileName);

}  // namespace platform
