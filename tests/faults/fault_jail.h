// A generated jail for the fault tests on a stand-in of its own that traces
// every request and takes a fault file, registered as "JAIL" in the site
// database of an installation laid out as a real site. The jail is shaped so
// that every decision of the pass occurs: locations without held property,
// free and used containers, a location with every container in use, one
// over-used, one without containers, and stored flags wrong both ways.
#pragma once

#include <map>
#include <string>

#include "installed_site.h"
#include "jail_sample.h"
#include "standin_server.h"

namespace faults_test {

// Key -> AVAILABLE as "1", "0" or "-" for NULL, of one table.
using Flags = std::map<std::string, std::string>;

struct JailFlags {
  Flags locations;   // CFGPROPL by LOCKEY
  Flags containers;  // CFGPROPC by CONTAINERID
  bool operator==(const JailFlags&) const = default;
};

// Test listings show the flags that differ by key.
void PrintTo(const JailFlags& AFlags, std::ostream* AOut);

// The jail: 20 locations of 2 containers each but the last, with the
// generator's own irregularities and the decisions it leaves out added.
jailgen::Sample FaultJailSample();

// The flags a correct pass leaves on `ASample`, worked out from its rows: a
// booking is held only when NAMERELEAS is 0, an item counts only when
// RELEASE is 0.
JailFlags SettledFlags(const jailgen::Sample& ASample);

class FaultJail {
 public:
  // Starts the stand-in, loads the jail and registers it; the program is
  // installed at Site().
  FaultJail();

  standin_test::StandinServer& Server() { return server_; }
  const standin_test::InstalledSite& Site() const { return site_; }
  const jailgen::Sample& Sample() const { return sample_; }

  // The flags as stored now, read on a session of the test's own.
  JailFlags StoredFlags();
  // The flags as generated, before any pass.
  const JailFlags& GeneratedFlags() const { return generated_; }
  // Stores the generated flags again, in one request.
  void RestoreGeneratedFlags();

 private:
  standin_test::StandinServer server_{{.trace = true, .faults = true}};
  standin_test::InstalledSite site_{server_.port()};
  jailgen::Sample sample_;
  JailFlags generated_;
};

}  // namespace faults_test
