// What a console program gets from the system besides its streams: its
// arguments, and whether a person reads its error stream.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The program's arguments after its name, in UTF-8. POSIX hosts pass
// `argv` on as it is; Windows reads the command line in UTF-16
// (CommandLineToArgvW), as `argv` there holds only what the ANSI code page
// can spell.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Whether the standard error stream is a terminal (a console on Windows).
bool StandardErrorIsTerminal();

}  // namespace platform
