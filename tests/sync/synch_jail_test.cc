// The pass on a generated jail of hundreds of locations, its flags checked
// against a computation of their own over the tables as fetched, and against
// the administrator's script the benchmark times beside it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "app/main_form_description.h"
#include "core/component.h"
#include "installed_site.h"
#include "jail_sample.h"
#include "jail_script.h"
#include "odbc_test_connection.h"
#include "recording_view.h"
#include "script_loader.h"
#include "standin_server.h"
#include "sync/synch_pass.h"
#include "temp_dir.h"

namespace sync_test {
namespace {

using ::testing::ElementsAre;
using Flags = std::map<std::string, std::string>;  // key -> "1", "0" or "-"

const jailgen::SampleOptions kJail{
    .locations = 300, .containers = 3, .bookings = 1500, .released = 0.3, .items = 2, .seed = 11};

// What the pass must leave, worked out row by row: a booking is held only
// when NAMERELEAS is 0 (NULL does not count, as in the pass's statements), an
// item counts only when RELEASE is 0.
struct Expected {
  Flags locations;
  Flags containers;
  int containersInUse = 0;
};

Expected Compute(standin_test::OdbcTestConnection& AJail) {
  std::set<std::string> held;
  for (const auto& row : AJail.Query("SELECT BOOKNO, NAMERELEAS FROM WARDERLY").rows) {
    if (row[1] == "0") held.insert(*row[0]);
  }
  std::set<std::string> locationsWithHeldProperty;
  for (const auto& row : AJail.Query("SELECT LOCKEY, BOOKNO FROM WRIPROP").rows) {
    if (row[0] && row[1] && held.contains(*row[1])) locationsWithHeldProperty.insert(*row[0]);
  }
  std::set<std::pair<std::string, std::string>> usedContainers;  // (LOCKEY, CONTAINERID)
  for (const auto& row :
       AJail.Query("SELECT LOCKEY, CONTAINERID, [RELEASE], BOOKNO FROM WRPITEMS").rows) {
    if (row[0] && row[1] && row[2] == "0" && row[3] && held.contains(*row[3])) {
      usedContainers.insert({*row[0], *row[1]});
    }
  }
  Expected expected;
  std::map<std::string, std::pair<int, int>> usage;  // LOCKEY -> (containers, in use)
  for (const auto& row : AJail.Query("SELECT CONTAINERID, LOCKEY, AVAILABLE FROM CFGPROPC").rows) {
    const std::string& lockey = *row[1];
    std::string flag = row[2].value_or("-");
    if (!locationsWithHeldProperty.contains(lockey)) {
      flag = "1";
    } else {
      const bool used = usedContainers.contains({lockey, *row[0]});
      flag = used ? "0" : "1";
      usage[lockey].first += 1;
      usage[lockey].second += used ? 1 : 0;
      expected.containersInUse += used ? 1 : 0;
    }
    expected.containers[*row[0]] = flag;
  }
  for (const auto& row : AJail.Query("SELECT LOCKEY FROM CFGPROPL").rows) {
    const std::string& lockey = *row[0];
    const auto [containers, inUse] = usage[lockey];
    expected.locations[lockey] =
        !locationsWithHeldProperty.contains(lockey) || inUse < containers ? "1" : "0";
  }
  return expected;
}

Flags Read(standin_test::OdbcTestConnection& AJail, const std::string& ASql) {
  Flags flags;
  for (const auto& row : AJail.Query(ASql).rows) flags[*row[0]] = row[1].value_or("-");
  return flags;
}

// The keys whose flag differs between `ABefore` and `AAfter`.
int Changed(const Flags& ABefore, const Flags& AAfter) {
  int changed = 0;
  for (const auto& [key, flag] : AAfter) changed += ABefore.at(key) != flag ? 1 : 0;
  return changed;
}

// Runs the pass on the JAIL database of the stand-in on `APort`, registered
// and installed as a site's.
TFlagDrift RunPass(int APort, RecordingView& AView) {
  standin_test::RegisterJail(APort);
  const standin_test::InstalledSite site(APort);
  TComponent window(nullptr);
  const TMainFormNonVisual components = RestoreMainForm(&window, site);
  return GoSynchPropertyLocations(AView, *components.tblCFGPropertyLocation,
                                  *components.tblCFGPropertyContainers, *components.qryGeneric);
}

int Occurrences(const std::string& AText, const std::string& APart) {
  int count = 0;
  for (auto at = AText.find(APart); at != std::string::npos; at = AText.find(APart, at + 1)) {
    ++count;
  }
  return count;
}

TEST(SynchJailTest, FlagsMatchAnIndependentComputation) {
  standin_test::StandinServer server;
  {
    standin_test::OdbcTestConnection setup(server.port());
    standin_test::LoadScript(setup, jailgen::MakeScript(jailgen::MakeSample(kJail), {}));
  }
  standin_test::OdbcTestConnection jail(server.port(), {"sa", "", "JAIL"});
  const Expected expected = Compute(jail);
  const Flags locationsBefore = Read(jail, "SELECT LOCKEY, AVAILABLE FROM CFGPROPL");
  const Flags before = Read(jail, "SELECT CONTAINERID, AVAILABLE FROM CFGPROPC");

  RecordingView view;
  const TFlagDrift drift = RunPass(server.port(), view);

  EXPECT_THAT(view.Messages(), ElementsAre("Property Locations Synchronization Completed"));
  EXPECT_EQ(Read(jail, "SELECT LOCKEY, AVAILABLE FROM CFGPROPL"), expected.locations);
  EXPECT_EQ(Read(jail, "SELECT CONTAINERID, AVAILABLE FROM CFGPROPC"), expected.containers);
  EXPECT_EQ(Occurrences(view.Log(), " Container Status: In Use\r\n"), expected.containersInUse);
  EXPECT_EQ(view.Passes().substr(view.Passes().rfind(' ') + 1), "0");
  // The sample's flags had drifted: the pass had something to correct.
  EXPECT_NE(before, expected.containers);
  EXPECT_GT(expected.containersInUse, 0);
  EXPECT_EQ(drift.Locations, Changed(locationsBefore, expected.locations));
  EXPECT_EQ(drift.Containers, Changed(before, expected.containers));
}

// A pass whose session is killed part way counts only the flags it had
// written: the jail's flags differ from before by exactly its counts.
TEST(SynchJailTest, AnAbortedPassCountsWhatTookEffect) {
  for (const int request : {200, 1500, 3000}) {
    SCOPED_TRACE("killed at request " + std::to_string(request));
    standin_test::StandinServer server({.faults = true});
    {
      standin_test::OdbcTestConnection setup(server.port());
      standin_test::LoadScript(setup, jailgen::MakeScript(jailgen::MakeSample(kJail), {}));
    }
    const Flags locationsBefore = [&] {
      standin_test::OdbcTestConnection jail(server.port(), {"sa", "", "JAIL"});
      return Read(jail, "SELECT LOCKEY, AVAILABLE FROM CFGPROPL");
    }();
    const Flags containersBefore = [&] {
      standin_test::OdbcTestConnection jail(server.port(), {"sa", "", "JAIL"});
      return Read(jail, "SELECT CONTAINERID, AVAILABLE FROM CFGPROPC");
    }();

    server.killAtRequest(request);
    RecordingView view;
    const TFlagDrift drift = RunPass(server.port(), view);
    ASSERT_THAT(view.Messages(), ::testing::Contains("Process Aborted"));
    standin_test::OdbcTestConnection jail(server.port(), {"sa", "", "JAIL"});
    EXPECT_EQ(drift.Locations,
              Changed(locationsBefore, Read(jail, "SELECT LOCKEY, AVAILABLE FROM CFGPROPL")));
    EXPECT_EQ(drift.Containers,
              Changed(containersBefore, Read(jail, "SELECT CONTAINERID, AVAILABLE FROM CFGPROPC")));
    EXPECT_GT(drift.Locations + drift.Containers, 0);
  }
}

// The benchmark compares the pass with this script, so they must agree: the
// same jail in two databases, one settled by each.
TEST(SynchJailTest, TheAdministratorsScriptSettlesTheSameFlags) {
  standin_test::StandinServer server;
  {
    standin_test::OdbcTestConnection setup(server.port());
    const jailgen::Sample sample = jailgen::MakeSample(kJail);
    standin_test::LoadScript(setup, jailgen::MakeScript(sample, {}));
    standin_test::LoadScript(
        setup, jailgen::MakeScript(sample, {.site_db = "VANTOR2", .jail_db = "JAIL2"}));
  }
  standin_test::OdbcTestConnection jail(server.port(), {"sa", "", "JAIL"});
  standin_test::OdbcTestConnection copy(server.port(), {"sa", "", "JAIL2"});
  const Flags before = Read(jail, "SELECT CONTAINERID, AVAILABLE FROM CFGPROPC");
  ASSERT_EQ(Read(copy, "SELECT CONTAINERID, AVAILABLE FROM CFGPROPC"), before);

  RecordingView view;
  RunPass(server.port(), view);
  ASSERT_THAT(view.Messages(), ElementsAre("Property Locations Synchronization Completed"));
  standin_test::LoadScript(copy, standin_test::ReadFile(ADMIN_RECOMPUTE_FLAGS_SQL));

  EXPECT_EQ(Read(copy, "SELECT LOCKEY, AVAILABLE FROM CFGPROPL"),
            Read(jail, "SELECT LOCKEY, AVAILABLE FROM CFGPROPL"));
  const Flags settled = Read(jail, "SELECT CONTAINERID, AVAILABLE FROM CFGPROPC");
  EXPECT_EQ(Read(copy, "SELECT CONTAINERID, AVAILABLE FROM CFGPROPC"), settled);
  EXPECT_NE(settled, before);
}

}  // namespace
}  // namespace sync_test
