// synch-property-locations-run: the console runner's executable.
#include <clocale>
#include <iostream>

#include "app/console_runner.h"
#include "platform/console.h"
#include "platform/disk.h"

int main(int argc, char** argv) {
  // The saved log's code page is the locale's, as the window's is.
  std::setlocale(LC_ALL, "");
  const platform::Utf8ConsoleOutput console;
  return RunSynchPropertyLocations(platform::ProgramArguments(argc, argv),
                                   {std::cout, std::cerr, platform::StandardErrorIsTerminal()},
                                   platform::SystemDisk());
}
