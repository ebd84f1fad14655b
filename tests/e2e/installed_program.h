// One of the real executables installed at a site of its own: a traced
// stand-in holding the site database (ConnectLib registers "JAIL") and the
// sample jail, and a copy of the executable in the site's VANTOR.APP folder,
// so that it finds the site's Vantor.ini as an installed program does. The
// site logs in as kSiteLogin, not as sa.
//
// No password may leave the program: every output of every run (standard
// output and error, each file in Scratch(), which is the program's working
// folder, the --log file, and the trace lines of the requests made while it
// ran) is searched for each password in play, and each one found fails the
// running test. A Run is checked when it ends, a Start when this object goes.
// In play are the stand-in's logins' passwords and those of the connect
// strings in Vantor.ini and ConnectLib at the time of the check (with what
// may be the rest of an unquoted one: PasswordsIn), but for those shorter
// than 6 bytes, which ordinary text holds by chance.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "child_process.h"
#include "installed_site.h"
#include "odbc_test_connection.h"
#include "standin_server.h"
#include "temp_dir.h"

namespace e2e_test {

// The stand-in's login for the site's connections. Its password has nothing
// in common with any other text, so that finding it anywhere means a leak.
inline const standin_test::Login kSiteLogin{"jailsync", "Qz7-Kv2!rW9#pL4", ""};

struct RunResult {
  int exitCode;
  std::string out;
  std::string err;
};

// The locale of the runs: UTF-8, which every glibc has.
inline constexpr char kChildLocale[] = "LC_ALL=C.UTF-8";

class InstalledProgram {
 public:
  // Copies `AExecutable` into the site as "<its name>". The stand-in
  // accepts `AExtraLogins` too (their databases are not used), offers TLS as
  // the tls_* fields of `AServer` say and speaks its tds_version.
  explicit InstalledProgram(const std::filesystem::path& AExecutable,
                            const std::vector<standin_test::Login>& AExtraLogins = {},
                            const standin_test::StandinOptions& AServer = {});
  // Checks the outputs of what Start() started (which must have ended).
  ~InstalledProgram();
  InstalledProgram(const InstalledProgram&) = delete;
  InstalledProgram& operator=(const InstalledProgram&) = delete;

  standin_test::StandinServer& Server() { return server_; }
  standin_test::InstalledSite& Site() { return site_; }
  // A scratch folder for the test's own files; the program runs in it.
  const std::filesystem::path& Scratch() const { return scratch_.path(); }

  // Runs the installed program with `AArguments` to its end (at most 60 s),
  // then checks its outputs.
  RunResult Run(const std::vector<std::string>& AArguments = {});
  // Starts it and leaves it running.
  std::unique_ptr<standin_test::ChildProcess> Start();

  // Makes the site's registry give "JAIL" the database JAIL on the stand-in
  // at `AJailPort` (0: this one) with kSiteLogin, and `AExtraEntries`
  // (";Key=Value..."), if any.
  void RegisterJail(int AJailPort = 0, const std::string& AExtraEntries = "");
  // Entries ("NAME=VALUE") added to the environment of every later run. Each
  // run has the locale kChildLocale unless they name LC_ALL: the saved log's
  // code page and the decoding of the site's files follow the locale the test
  // chose, never the one it was started in.
  void SetEnvironment(std::vector<std::string> AEntries) { environment_ = std::move(AEntries); }

  // The trace lines the program caused: those after the site was set up,
  // but for the checks' own.
  std::vector<std::string> ProgramTrace() const;
  // Those of them that mention `AText`.
  std::vector<std::string> TraceLinesWith(const std::string& AText) const;

 private:
  // Fails the test for each password in play found in the files under
  // Scratch(), in `AExtraFiles` or in the trace from line `AFirstTraceLine`.
  void CheckOutputs(std::size_t AFirstTraceLine,
                    const std::vector<std::filesystem::path>& AExtraFiles);
  std::vector<std::string> PasswordsInPlay();
  // environment_, and kChildLocale unless it names LC_ALL.
  std::vector<std::string> ChildEnvironment() const;

  standin_test::StandinServer server_;
  standin_test::InstalledSite site_;
  standin_test::TempDir scratch_;
  std::size_t setupLines_ = 0;
  std::vector<std::string> passwords_;  // of the extra logins
  std::vector<std::string> environment_;
  std::optional<std::size_t> startedAtTraceLine_;                // of the first Start()
  std::vector<std::pair<std::size_t, std::size_t>> checkLines_;  // [first, end) of the checks' own
};

// What the runner writes to standard error when its start-up fails:
// "Application Error: " and `AMessage`, a pattern in which "<ini>" stands for
// the site's Vantor.ini at `AIniPath`.
std::regex StartUpErrorPattern(const std::filesystem::path& AIniPath, const std::string& AMessage);

// What the runner writes to standard error after a pass that completed: its
// message and its drift line, with any counts (kCompletedPass) or with these.
inline const std::regex kCompletedPass(
    "Property Locations Synchronization Completed\n"
    "AVAILABLE flags changed: [0-9]+ locations, [0-9]+ containers\n");
std::string CompletedPass(int ALocations, int AContainers);

// The sample jail's tables, one of which every statement of the pass names.
bool NamesAJailTable(const std::string& ATraceLine);

// The values given to "Password" or "PWD" entries anywhere in `AText`
// (letter case ignored), without enclosing quotes. An unquoted one may go on
// past ";" and hold "=", so after it each run between ";" and "=" to the end
// of its line counts as well.
std::vector<std::string> PasswordsIn(const std::string& AText);

}  // namespace e2e_test
