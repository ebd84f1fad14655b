// What a Windows-form name means on a POSIX host: drive C: is "/", drives D:
// to Z: are /mnt/d to /mnt/z, and a name without a drive keeps its place
// (rooted at "/" or relative to the current directory).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The POSIX path `AWindowsName` stands for: "C:\x\y" -> "/x/y", "e:\x" ->
// "/mnt/e/x", "\x" -> "/x", "x\y" -> "x/y". "/" separates like "\"; doubled
// separators count once; a trailing one stays. Nothing when no POSIX path
// stands for the name: network names ("\\server\share\x"), drives A: and B:,
// a drive letter not followed by a separator ("C:x"), or a component holding a
// character Windows forbids in names (<>:"|?* and codes below 32).
std::optional<std::string> PosixPathFromWindows(std::string_view AWindowsName);

// The Windows form of the absolute POSIX path `APosixPath`, the way back of
// PosixPathFromWindows: "/mnt/e/x" -> "E:\x" and "/mnt/e" -> "E:\" for
// drives D: to Z:, any other path "C:" followed by it; "\" for every "/".
std::string WindowsPathFromPosix(std::string_view APosixPath);

// The directory drive `ALetter` (either case) stands for: "/" for C,
// "/mnt/d" for D and so on; empty for A, B and anything else.
std::string DriveDirectory(char ALetter);

}  // namespace platform
