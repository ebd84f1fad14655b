// What a console program gets from the system besides its streams: its
// arguments, whether a person reads its error stream, and how its console
// shows the UTF-8 text it writes.
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

// While alive, the program's console shows the UTF-8 text the program writes
// as characters: a Windows console reads bytes in its own code page (the OEM
// one unless the user chose another), so it is switched to UTF-8 and given
// its former code page back at the end. POSIX terminals follow the locale;
// there nothing changes.
class Utf8ConsoleOutput {
 public:
  Utf8ConsoleOutput();
  ~Utf8ConsoleOutput();
  Utf8ConsoleOutput(const Utf8ConsoleOutput&) = delete;
  Utf8ConsoleOutput& operator=(const Utf8ConsoleOutput&) = delete;

 private:
  unsigned FFormerCodePage = 0;  // 0: the console was left as it was
};

}  // namespace platform
