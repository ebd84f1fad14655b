// A private stand-in holding the five property tables in its JAIL database
// and a site registry that gives "JAIL" that database, the window's
// components restored from its description by a program installed at a site
// of the stand-in, and readings of the flags and of the requests the pass sent.
#pragma once

#include <string>
#include <vector>

#include "app/main_form_description.h"
#include "core/component.h"
#include "installed_site.h"
#include "odbc_test_connection.h"
#include "recording_view.h"
#include "standin_server.h"
#include "sync/flag_drift.h"

namespace sync_test {

class SynchFixture {
 protected:
  // Empty tables. CFGPROPL and CFGPROPC take their bigint keys from the
  // inserts, so a test can choose them; the other three are the sample
  // jail's.
  SynchFixture();

  // Runs the pass on the window's datasets.
  void RunPass(RecordingView& AView);
  // Runs the set-based pass on the window's location dataset and query, with
  // a whole-table dataset of CFGPROPC made for it, as the runner does.
  TFlagDrift RunSetBasedPass(RecordingView& AView, TFlagWrites AWrites = TFlagWrites::Write);
  // Frees the window's components and restores them afresh, as a new
  // window would have them.
  void RestoreComponents();

  // "KEY:FLAG" per row in key order, space-separated; FLAG is 1, 0 or - for NULL.
  std::string LocationFlags();
  std::string ContainerFlags();

  // The requests the pass's connection sent so far, without the "spid=N "
  // prefix: those after the last registry lookup, which dbJail makes before
  // it connects.
  std::vector<std::string> PassRequests();

  standin_test::StandinServer FServer{{.trace = true, .faults = true}};
  standin_test::OdbcTestConnection FSetup{FServer.port()};
  standin_test::InstalledSite FSite{FServer.port()};
  TComponent FWindow{nullptr};  // owns the components
  TMainFormNonVisual FComponents;
};

}  // namespace sync_test
