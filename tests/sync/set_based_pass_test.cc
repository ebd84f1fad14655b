// The set-based pass against the per-container pass on generated jails, each
// pass on a fresh copy of the same jail; the set-based pass ended at each of
// its requests; and its requests, as many over a large jail as over a small.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/exception.h"
#include "random_jail.h"
#include "recording_view.h"
#include "sync/set_based_statements.h"
#include "synch_fixture.h"

namespace sync_test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::EndsWith;
using ::testing::HasSubstr;

const std::string kDone = "Property Locations Synchronization Completed";
const std::string kOn = " On: TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations";

struct JailFlags {
  std::string locations;
  std::string containers;
  bool operator==(const JailFlags&) const = default;
};

void PrintTo(const JailFlags& AFlags, std::ostream* AOut) {
  *AOut << "locations " << AFlags.locations << "\ncontainers " << AFlags.containers;
}

// Entries "KEY:FLAG" of two flag listings whose flag differs.
int Changed(const std::string& ABefore, const std::string& AAfter) {
  auto read = [](const std::string& AFlags) {
    std::map<std::string, std::string> flags;
    std::istringstream in(AFlags);
    for (std::string entry; in >> entry;) {
      const auto colon = entry.rfind(':');
      flags[entry.substr(0, colon)] = entry.substr(colon + 1);
    }
    return flags;
  };
  const auto before = read(ABefore);
  int changed = 0;
  for (const auto& [key, flag] : read(AAfter)) changed += before.at(key) != flag;
  return changed;
}

class SetBasedFixture : protected SynchFixture {
 protected:
  // Empties the five tables and fills them with `AJail`'s rows, as generated.
  void Load(const RandomJailOptions& AJail) {
    for (const char* table : {"CFGPROPL", "CFGPROPC", "WARDERLY", "WRIPROP", "WRPITEMS"}) {
      FSetup.Exec(std::string("DELETE FROM ") + table);
    }
    for (const std::string& insert : RandomJailInserts(AJail)) FSetup.Exec(insert);
  }

  JailFlags Flags() { return {LocationFlags(), ContainerFlags()}; }
};

struct JailCase {
  const char* name;
  RandomJailOptions jail;
  bool aborts = false;  // a key past 32 bits stops the per-container pass
};

void PrintTo(const JailCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

const JailCase kJails[] = {
    {"Empty", {.locations = 0, .seed = 1}},
    {"OneLocation", {.locations = 1, .seed = 2}},
    {"OneLocationAgain", {.locations = 1, .seed = 3}},
    {"Five", {.locations = 5, .seed = 4}},
    {"Twelve", {.locations = 12, .seed = 5}},
    {"Forty", {.locations = 40, .seed = 6}},
    {"FortyAgain", {.locations = 40, .seed = 7}},
    {"OneHundredFifty", {.locations = 150, .seed = 8}},
    {"ThreeHundred", {.locations = 300, .seed = 9}},
    {"AtTheLimits", {.locations = 20, .seed = 10, .keys = JailKeys::kAtLimits}},
    {"AtTheLimitsLarger", {.locations = 120, .seed = 11, .keys = JailKeys::kAtLimits}},
    {"LocationPast32Bits", {.locations = 20, .seed = 12, .keys = JailKeys::kLocationBeyond}, true},
    {"LocationPast32BitsAgain",
     {.locations = 30, .seed = 13, .keys = JailKeys::kLocationBeyond},
     true},
    {"LocationPast32BitsLarger",
     {.locations = 80, .seed = 14, .keys = JailKeys::kLocationBeyond},
     true},
    {"ContainerPast32BitsHeld",
     {.locations = 20, .seed = 15, .keys = JailKeys::kContainerBeyondHeld},
     true},
    {"ContainerPast32BitsFree",
     {.locations = 20, .seed = 16, .keys = JailKeys::kContainerBeyondFree}},
};

class SetBasedDifferentialTest : public SetBasedFixture,
                                 public ::testing::TestWithParam<JailCase> {};

TEST_P(SetBasedDifferentialTest, SameFlagsLogAndProgressAsThePerContainerPass) {
  const JailCase& jail = GetParam();
  Load(jail.jail);
  const JailFlags generated = Flags();
  RecordingView reference;
  RunPass(reference);
  const JailFlags settled = Flags();

  Load(jail.jail);
  RestoreComponents();
  RecordingView view;
  const TFlagDrift drift = RunSetBasedPass(view);

  EXPECT_EQ(view.Log(), reference.Log());
  EXPECT_EQ(view.Messages(), reference.Messages());
  EXPECT_EQ(view.Progress(), reference.Progress());
  EXPECT_EQ(view.Passes(), reference.Passes());
  EXPECT_EQ(view.WhatHappen(), reference.WhatHappen());
  EXPECT_THAT(view.UnpaintedCaptions(), ::testing::IsEmpty());
  if (jail.aborts) {
    ASSERT_THAT(view.Messages(),
                ElementsAre(EndsWith(" does not fit a 32-bit integer" + kOn), "Process Aborted"));
    EXPECT_EQ(Flags(), generated) << "an aborted set-based pass changes no flag";
    EXPECT_EQ(drift.Locations, 0);
    EXPECT_EQ(drift.Containers, 0);
  } else {
    ASSERT_THAT(view.Messages(), ElementsAre(kDone));
    EXPECT_EQ(Flags(), settled);
    EXPECT_EQ(drift.Locations, Changed(generated.locations, settled.locations));
    EXPECT_EQ(drift.Containers, Changed(generated.containers, settled.containers));
  }

  Load(jail.jail);
  RestoreComponents();
  RecordingView dryRun;
  const TFlagDrift wouldChange = RunSetBasedPass(dryRun, TFlagWrites::DryRun);
  EXPECT_EQ(dryRun.Log(), reference.Log());
  EXPECT_EQ(dryRun.Messages(), reference.Messages());
  EXPECT_EQ(Flags(), generated) << "a dry run writes nothing";
  // The per-container pass wrote the flags of the locations it finished,
  // and of the containers it reached at the one it stopped at.
  EXPECT_EQ(wouldChange.Locations, Changed(generated.locations, settled.locations));
  if (jail.aborts) {
    EXPECT_LE(wouldChange.Containers, Changed(generated.containers, settled.containers));
  } else {
    EXPECT_EQ(wouldChange.Containers, drift.Containers);
  }
}

INSTANTIATE_TEST_SUITE_P(Jails, SetBasedDifferentialTest, ::testing::ValuesIn(kJails),
                         [](const auto& AInfo) { return std::string(AInfo.param.name); });

// Across the generated jails every decision occurs, so the comparison above
// covers each of them.
TEST(SetBasedJailsTest, TheJailsMakeEveryDecision) {
  struct Probe : SetBasedFixture {
    std::string Logs() {
      std::string logs;
      for (const JailCase& jail : kJails) {
        if (jail.aborts) continue;
        Load(jail.jail);
        RestoreComponents();
        RecordingView view;
        RunSetBasedPass(view, TFlagWrites::DryRun);
        logs += view.Log();
      }
      return logs;
    }
  };
  const std::string logs = Probe().Logs();
  for (const char* decision :
       {"STATUS : All Containers Available", "STATUS : Some Containers Available",
        "STATUS : All Containers In Use / ", "STATUS : Over Use of Container / ",
        " Container Status: In Use", " Container Status : Available", " --> O'Brien, "}) {
    EXPECT_THAT(logs, HasSubstr(decision));
  }
}

const RandomJailOptions kFaultJail{.locations = 25, .seed = 21};

class SetBasedFaultsTest : public SetBasedFixture, public ::testing::Test {};

TEST_F(SetBasedFaultsTest, EndedAtEachRequestItChangesNoFlag) {
  Load(kFaultJail);
  const JailFlags generated = Flags();
  RestoreComponents();
  RecordingView reference;
  RunSetBasedPass(reference);
  ASSERT_THAT(reference.Messages(), ElementsAre(kDone));
  const std::vector<std::string> requests = PassRequests();
  ASSERT_NE(Flags(), generated) << "the jail must have flags to correct";

  for (std::size_t k = 1; k <= requests.size(); ++k) {
    SCOPED_TRACE("request " + std::to_string(k) + ": " + requests[k - 1].substr(0, 120));
    Load(kFaultJail);
    RestoreComponents();
    // Connecting, the window's connection first looks its connect string up
    // in the site registry: one request before the pass's own.
    FServer.killAtRequest(static_cast<int>(k) + 1);
    RecordingView view;
    const TFlagDrift drift = RunSetBasedPass(view);
    ASSERT_THAT(view.Messages(), ElementsAre(EndsWith(kOn), "Process Aborted"));
    EXPECT_GT(view.Messages()[0].size(), kOn.size());
    EXPECT_EQ(Flags(), generated);
    EXPECT_EQ(drift.Locations + drift.Containers, 0);
    const std::vector<std::string> sent = PassRequests();
    EXPECT_THAT(sent, ElementsAreArray(requests.begin(), requests.begin() + k - 1));
  }
}

// The writes check that they change exactly the flags decided; a count that
// does not match fails the statement, and the rollback leaves every flag.
TEST_F(SetBasedFaultsTest, AWriteThatDiffersFromTheDecisionFailsAndRollsBack) {
  Load(kFaultJail);
  const JailFlags generated = Flags();
  TCustomDADataSet& query = *FComponents.qryGeneric;
  BeginPassTransaction(query);
  try {
    WriteContainerFlags(query, 100000);
    FAIL() << "a write of another count of flags was accepted";
  } catch (const Exception& error) {
    EXPECT_THAT(error.Message(),
                HasSubstr("The AVAILABLE flags of CFGPROPC to write differ from those decided."));
  }
  RollBackPassTransaction(query);
  EXPECT_EQ(Flags(), generated);
  EXPECT_EQ(FSetup.Scalar("SELECT @@TRANCOUNT"), "0");
}

class SetBasedRequestsTest : public SetBasedFixture, public ::testing::Test {
 protected:
  std::vector<std::string> RequestsOver(int ALocations) {
    Load({.locations = ALocations, .seed = 31});
    RestoreComponents();
    RecordingView view;
    RunSetBasedPass(view);
    EXPECT_THAT(view.Messages(), ElementsAre(kDone));
    return PassRequests();
  }
};

TEST_F(SetBasedRequestsTest, AsManyOverAThousandLocationsAsOverTen) {
  const std::vector<std::string> small = RequestsOver(10);
  const std::vector<std::string> large = RequestsOver(1000);
  EXPECT_EQ(small.size(), large.size());
  for (const std::string& request : large) std::cout << request.substr(0, 200) << "\n";
}

}  // namespace
}  // namespace sync_test
