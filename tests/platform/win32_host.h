// What the Windows tests need to know of the host they run on: whether it is
// wine, which drives it has, and how wine names the files of the POSIX host
// below it.
#pragma once

#include <string>
#include <string_view>

namespace platform_test {

// Whether this program runs under wine (its ntdll exports wine_get_version).
bool RunningUnderWine();

// Whether the wine prefix has the drives tests/platform/wine_drives.sh adds:
// Q: a CD-ROM, R: a network drive, S: a removable drive and T: a fixed one,
// each empty but for what tests put there (and T:'s mark, the file
// T:\synch-test-drives).
bool HasTestDrives();

// The first letter from C to Z that names no drive. Throws std::runtime_error
// when every letter names one.
char AbsentDriveLetter();

// The name wine gives the absolute POSIX path `APosixPath`: drive Z: is "/".
std::string WineNameOf(std::string_view APosixPath);

// The system's text for the Windows error `AError`, without its closing line
// break, as error messages quote it.
std::string SystemText(unsigned long AError);

}  // namespace platform_test
