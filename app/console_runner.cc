#include "app/console_runner.h"

#include <exception>
#include <memory>
#include <optional>

#include "app/console_view.h"
#include "app/error_texts.h"
#include "app/save_log.h"
#include "config/ini_file_exception.h"
#include "config/site_file_exposure.h"
#include "core/exception.h"
#include "db/odbc/driver_trace.h"
#include "platform/new_file.h"
#include "platform/place_name.h"

namespace {

constexpr char kUsage[] =
    "Usage: synch-property-locations-run [--set-based] [--dry-run] [--log FILE]\n"
    "                                    [--driver-trace FILE]\n"
    "Recomputes the AVAILABLE flags of every property location and container of the\n"
    "jail database, as the start button of synch-property-locations does, and writes\n"
    "the conflicts log to standard output.\n"
    "\n"
    "  --dry-run   read, decide and log as a pass does, but change no flag\n"
    "  --log FILE  also save the log to FILE, as the window's Save Log would; FILE\n"
    "              is created before the pass, which does not start when it cannot\n"
    "              be, and gets the log when the pass ends\n"
    "  --set-based decide every flag from a few whole-table reads and write them\n"
    "              all in one transaction: the same flags and log in a fixed number\n"
    "              of requests, and an aborted pass changes no flag\n"
    "  --driver-trace FILE\n"
    "              write the FreeTDS driver's trace of every session to FILE, to\n"
    "              diagnose a connection: it holds the passwords and the rows read,\n"
    "              so FILE is made readable by its owner only; delete it after use\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "\n"
    "After the pass, completed or aborted, the last line on standard error tells how\n"
    "far the flags had drifted: \"AVAILABLE flags changed: N locations, M containers\",\n"
    "or with --dry-run \"AVAILABLE flags that would change: ...\".\n"
    "\n"
    "Exit status: 0 the pass completed, 1 start-up failed, 2 the pass was aborted\n"
    "or the log file could not be created or written. The connection comes from\n"
    "the site configuration.\n";

struct TOptions {
  bool Help = false;
  bool Version = false;
  TFlagWrites Writes = TFlagWrites::Write;
  bool SetBased = false;
  std::optional<std::string> LogFile;
  std::optional<std::string> DriverTrace;
};

// Throws Exception for an argument it does not know or a missing file name.
TOptions ParseArguments(const std::vector<std::string>& AArguments) {
  TOptions options;
  for (size_t i = 0; i < AArguments.size(); ++i) {
    const std::string& argument = AArguments[i];
    if (argument == "--help") {
      options.Help = true;
    } else if (argument == "--version") {
      options.Version = true;
    } else if (argument == "--dry-run") {
      options.Writes = TFlagWrites::DryRun;
    } else if (argument == "--set-based") {
      options.SetBased = true;
    } else if (argument == "--log" && i + 1 < AArguments.size()) {
      options.LogFile = AArguments[++i];
    } else if (argument.starts_with("--log=")) {
      options.LogFile = argument.substr(6);
    } else if (argument == "--log") {
      throw Exception("--log needs a file name");
    } else if (argument == "--driver-trace" && i + 1 < AArguments.size()) {
      options.DriverTrace = AArguments[++i];
    } else if (argument.starts_with("--driver-trace=")) {
      options.DriverTrace = argument.substr(15);
    } else if (argument == "--driver-trace") {
      throw Exception("--driver-trace needs a file name");
    } else {
      throw Exception("unknown argument \"" + argument + "\"");
    }
  }
  return options;
}

// The error box names no place; at a console whoever installs the program
// also needs to know where the configuration file was expected, named as
// this host names it.
void ListPlacesLookedAt(const std::exception_ptr& AError, std::ostream& AErr) {
  try {
    std::rethrow_exception(AError);
  } catch (const EIniFileException& error) {
    if (error.PlacesLookedAt().empty()) return;
    AErr << "Looked for it, in this order, at:\n";
    for (const std::string& place : error.PlacesLookedAt()) {
      AErr << "  " << platform::PlaceNameOnHost(place) << "\n";
    }
  } catch (...) {  // the error's text says all there is
  }
}

// `AText` as one word of a POSIX shell's command line.
std::string ShellQuoted(const std::string& AText) {
  std::string quoted = "'";
  for (char c : AText) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// The site file's password is the site database's: whoever may read the file
// may log in. Only a warning: the pass still has its work to do.
void WarnOfExposedSiteFile(const TMainFormComponents& AForm, const platform::Disk& ADisk,
                           std::ostream& AErr) {
  const std::string& file = AForm.NonVisual().VtConfigInfo->VantorIni();
  if (!SiteFileExposesPassword(file, ADisk)) return;
  AErr << "synch-property-locations-run: warning: " << file
       << " holds a password that other users may read; fix: chmod o-rwx " << ShellQuoted(file)
       << "\n";
}

// The drift line that ends every pass: what the pass found out of date.
void ReportDrift(const TFlagDrift& ADrift, TFlagWrites AWrites, std::ostream& AErr) {
  AErr << (AWrites == TFlagWrites::DryRun ? "AVAILABLE flags that would change: "
                                          : "AVAILABLE flags changed: ")
       << ADrift.Locations << " locations, " << ADrift.Containers << " containers\n";
}

}  // namespace

int RunSynchPropertyLocations(const std::vector<std::string>& AArguments, const TConsole& AConsole,
                              const platform::Disk& ADisk) {
  TOptions options;
  try {
    options = ParseArguments(AArguments);
  } catch (const Exception& error) {
    AConsole.Err << "synch-property-locations-run: " << error.Message() << "\n" << kUsage;
    return 1;
  }
  if (options.Help) {
    AConsole.Out << kUsage;
    return 0;
  }
  if (options.Version) {
    AConsole.Out << "synch-property-locations-run " << SYNCH_PROPERTY_LOCATIONS_VERSION << "\n";
    return 0;
  }

  std::unique_ptr<TMainFormComponents> form;
  try {
    // Before start-up, whose registry lookups open sessions of their own.
    if (options.DriverTrace) odbc::TraceDriverTo(*options.DriverTrace);
    form = std::make_unique<TMainFormComponents>(ADisk);
    form->FormCreate();
    WarnOfExposedSiteFile(*form, ADisk, AConsole.Err);
  } catch (...) {
    AConsole.Err << kApplicationErrorCaption << ": "
                 << ApplicationErrorText(std::current_exception()) << "\n";
    ListPlacesLookedAt(std::current_exception(), AConsole.Err);
    return 1;
  }

  // A pass whose log cannot be kept must not change a flag.
  std::optional<platform::NewFile> logFile;
  if (options.LogFile) {
    try {
      logFile.emplace(*options.LogFile);
    } catch (const Exception& error) {
      AConsole.Err << error.Message() << "\n";
      return 2;
    }
  }

  TConsoleView view(AConsole.Out, AConsole.Err, AConsole.ErrIsTerminal);
  int exitCode = 2;
  try {
    const TFlagDrift drift = options.SetBased
                                 ? form->GoSynchPropertyLocationsSetBased(view, options.Writes)
                                 : form->GoSynchPropertyLocations(view, options.Writes);
    exitCode = view.Completed() ? 0 : 2;
    view.ClearProgress();
    ReportDrift(drift, options.Writes, AConsole.Err);
  } catch (...) {  // not an Exception: the pass lets it through, the window's handler shows it
    view.ClearProgress();
    AConsole.Err << kApplicationErrorCaption << ": "
                 << ApplicationErrorText(std::current_exception()) << "\n";
  }
  if (logFile) {
    try {
      logFile->Write(SavedLogBytes(view.LogText()));
    } catch (const Exception& error) {
      AConsole.Err << error.Message() << "\n";
      exitCode = 2;
    }
  }
  return exitCode;
}
