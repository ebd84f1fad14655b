// The console runner: the window's start-up and one synchronization pass,
// without anyone at the screen, for schedulers; a dry run shows what a pass
// would do, and every pass ends by telling how far the flags had drifted.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/main_form_components.h"

struct TConsole {
  std::ostream& Out;
  std::ostream& Err;
  bool ErrIsTerminal;
};

// Runs the runner with `AArguments` (the command line without the program's
// name): "--help" and "--version" print and return 0; otherwise it starts up
// as the window does (TMainFormComponents on `ADisk`, FormCreate), warns on
// the error output when the site file gives a password to other users
// (config/site_file_exposure.h) with one line, "synch-property-locations-run:
// warning: <file> holds a password that other users may read; fix: chmod
// o-rwx '<file>'", with "--log FILE" creates FILE (platform::NewFile; one it
// cannot create ends the runner with its message before the pass), then runs
// one pass through a TConsoleView (the set-based one with "--set-based", else
// the window's; "--dry-run": one that writes no flag), writes the pass's drift
// line to the error output ("AVAILABLE flags changed: N locations, M
// containers", or "... that would change: ..." in a dry run) and writes the
// log to FILE as Save Log would; "--driver-trace FILE" has every session
// write the driver's trace to FILE (odbc::TraceDriverTo()), a failure to
// create it failing start-up. An error that is not an Exception ends the pass
// without a drift line, with "Application Error: " and its text instead.
// Returns the exit code: 0 the pass completed; 1 the arguments are wrong, or
// start-up failed ("Application Error: " and the error's text on the error
// output, then, when no configuration file was found, the names looked at,
// one a line, as this host names them: platform::PlaceNameOnHost); 2 the
// pass was aborted, or the log file could not be created or written.
int RunSynchPropertyLocations(const std::vector<std::string>& AArguments, const TConsole& AConsole,
                              const platform::Disk& ADisk);
