// The text rules of FullPathName (full_path_name.h) for hosts whose system
// knows nothing of drives, on a current directory given as text.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// `AFileName` ("/" or "\" separating) made absolute against
// `ACurrentDirectory` (a full Windows-form path: "X:\..." or
// "\\server\share\...") with "." and ".." resolved: "x\..\y" -> current +
// "\y"; "\x" -> current's drive + "\x"; "X:x" -> relative to the current
// directory when it is on drive X, otherwise to X:'s root; "X:\x" and
// "\\server\share\x" as they are. ".." at a root stays at the root; a
// trailing separator stays.
std::string FullPathFromCurrent(std::string_view AFileName, std::string_view ACurrentDirectory);

}  // namespace platform
