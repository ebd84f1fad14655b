#include <windows.h>
// windows.h first: shellapi.h and io.h need its types.
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "core/exception.h"
#include "platform/console.h"
#include "platform/win32_text.h"

namespace platform {

std::vector<std::string> ProgramArguments(int, char**) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) {
    throw Exception("Cannot read the command line (Windows error " +
                    std::to_string(GetLastError()) + ")");
  }
  std::vector<std::string> out;
  for (int i = 1; i < count; ++i) out.push_back(Utf8FromWide(arguments[i]));
  LocalFree(arguments);
  return out;
}

bool StandardErrorIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

// A program without a console (output redirected by a scheduler) has no code
// page to switch: GetConsoleOutputCP answers 0 there.
Utf8ConsoleOutput::Utf8ConsoleOutput() {
  const UINT former = GetConsoleOutputCP();
  if (former != 0 && former != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) FFormerCodePage = former;
}

Utf8ConsoleOutput::~Utf8ConsoleOutput() {
  if (FFormerCodePage != 0) SetConsoleOutputCP(FFormerCodePage);
}

}  // namespace platform
