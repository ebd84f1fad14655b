// synch-property-locations-run: the console runner's executable.
#include <unistd.h>

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "app/console_runner.h"
#include "platform/disk.h"

int main(int argc, char** argv) {
  // The saved log's code page is the locale's, as the window's is.
  std::setlocale(LC_ALL, "");
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return RunSynchPropertyLocations(arguments, {std::cout, std::cerr, isatty(STDERR_FILENO) == 1},
                                   platform::SystemDisk());
}
