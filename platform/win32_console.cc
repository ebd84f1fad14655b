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

}  // namespace platform
