// A site whose database holds the connection registry: a private stand-in
// (with its trace) holding database VANTOR with a ConnectLib table and the
// database NOREGISTRY without one, and a site disk whose Vantor.ini points
// at VANTOR as sa. ConnectLib has no key here, so a program may be
// registered twice, as a site may do.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "scratch_dir.h"
#include "site_disk.h"
#include "standin_server.h"

namespace config_test {

// One ConnectLib row; nullopt is NULL.
struct RegistryRow {
  std::optional<std::string> ProgramID;
  std::optional<std::string> ConnString;
  std::optional<std::string> HelpFile;
  std::optional<std::string> LogFile;
  std::optional<bool> UseInitial;
};

class SiteRegistry {
 public:
  // The site file's help and log paths.
  static constexpr const char* kSiteHelp = "site.chm";
  static constexpr const char* kSiteLog = "site.log";

  SiteRegistry();

  // Appends `ARows` to ConnectLib, in order, on a connection of its own
  // that is closed again on return.
  void AddRows(const std::vector<RegistryRow>& ARows);

  // The disk on which the settings component finds the site's Vantor.ini.
  const SiteDisk& Disk() const { return FDisk; }
  standin_test::StandinServer& Server() { return FServer; }
  // The site's base connection string, as the file holds it.
  std::string SiteConnectString() const;

  // The trace lines so far.
  std::vector<std::string> Trace() const { return FServer.traceLines(); }

  // How many TCP connections to the stand-in are established, counted on
  // the client's side. The stand-in's trace does not record a session's end,
  // so this is how a test sees that a connection was closed. Waits (at most
  // 5 s) for the count to fall to `AExpected` before answering.
  int EstablishedConnections(int AExpected = 0) const;

 private:
  standin_test::StandinServer FServer{standin_test::StandinOptions{.trace = true}};
  platform_test::ScratchDir FSite;
  SiteDisk FDisk{FSite.Path()};
};

// The session id a trace line names ("spid=52 batch: ..." gives 52).
int SpidOf(const std::string& ATraceLine);

// The lines of `AAfter` beyond the first `ABefore.size()`.
std::vector<std::string> LinesAdded(const std::vector<std::string>& ABefore,
                                    const std::vector<std::string>& AAfter);

}  // namespace config_test
