// Paths as the host's own programs see them. Under wine a test is a Windows
// program, while the programs it starts (the stand-in, tsql) are Linux ones
// that name the same files by their Linux paths.
#pragma once

#include <filesystem>
#include <string>

namespace standin_test {

// `path` as an argument for a program ChildProcess starts: itself on POSIX;
// under wine, the Linux path of the Windows one. Throws std::runtime_error
// when wine has no Linux name for it.
std::string HostPath(const std::filesystem::path& path);

}  // namespace standin_test
