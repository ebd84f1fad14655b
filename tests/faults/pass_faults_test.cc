// The window's pass with its session ended at each of its requests in turn,
// as a DBA's KILL ends it (and, at a sample of them, by the server stopping):
// the operator sees the error and "Process Aborted", the window goes on, the
// log holds what was written before the fault, the flags hold every update
// sent before it and none after, and the next pass in the same window
// completes and settles every flag.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <chrono>
#include <cstring>
#include <iostream>
#include <set>

#include "app/main_form.h"
#include "fault_jail.h"
#include "modal_answerer.h"
#include "reference_pass.h"

namespace faults_test {
namespace {

using ::testing::ElementsAreArray;
using ::testing::EndsWith;
using ::testing::HasSubstr;

constexpr char kTitle[] = "Synch Property Locations";
constexpr char kPassError[] = " On: TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations";
constexpr char kCompleted[] = "Property Locations Synchronization Completed";

enum class Fault { kKill, kStop };

void ClickStart(const TfrmSynchPropertyLocationsMain& AWindow) {
  QTest::mouseClick(AWindow.findChild<QPushButton*>("btnStart"), Qt::LeftButton);
}

// A jail, the fault-free pass over it, and the flags it settles; every
// faulted pass starts from the generated flags.
class PassFaultsTest : public ::testing::Test {
 protected:
  PassFaultsTest() : FReference(FJail), FSettled(FJail.StoredFlags()) {}

  std::size_t PassRequests() const { return FReference.Requests().size(); }

  // One window: a pass ended at request `AIndex`, then a pass after it.
  void FaultAt(std::size_t AIndex, Fault AFault) {
    SCOPED_TRACE("request " + std::to_string(AIndex) + ": " +
                 FReference.Requests().at(AIndex - 1).substr(0, 160));
    FJail.RestoreGeneratedFlags();
    TfrmSynchPropertyLocationsMain window(FJail.Site());
    window.show();
    app_test::ModalAnswerer answerer;
    standin_test::StandinServer& server = FJail.Server();
    const std::uintmax_t traced = server.traceSize();
    if (AFault == Fault::kKill) {
      server.killAtRequest(static_cast<int>(AIndex));
    } else {
      server.stopAtRequest(static_cast<int>(AIndex));
    }
    ClickStart(window);
    ++FPasses;

    ASSERT_EQ(answerer.Boxes().size(), 2u) << ::testing::PrintToString(answerer.Texts());
    EXPECT_EQ(answerer.Boxes()[0].caption, kTitle);
    EXPECT_THAT(answerer.Boxes()[0].text, EndsWith(kPassError));
    EXPECT_GT(answerer.Boxes()[0].text.size(), std::strlen(kPassError));
    EXPECT_EQ(answerer.Boxes()[1], (app_test::Box{kTitle, "Process Aborted"}));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.LogText(), FReference.LogBefore(AIndex));

    if (AFault == Fault::kStop) {
      EXPECT_EQ(server.stop(), 0);
      server.restartOnSamePort();
    }
    std::vector<std::string> sent;
    for (const std::string& line : server.traceLinesFrom(traced)) sent.push_back(RequestOf(line));
    EXPECT_THAT(sent, ElementsAreArray(FReference.Requests().begin(),
                                       FReference.Requests().begin() + AIndex - 1));
    EXPECT_EQ(FJail.StoredFlags(),
              FReference.FlagsBefore(AIndex, FJail.GeneratedFlags(), FJail.Sample()));

    ClickStart(window);
    ++FPasses;
    ASSERT_EQ(answerer.Boxes().size(), 3u) << ::testing::PrintToString(answerer.Texts());
    EXPECT_EQ(answerer.Boxes()[2], (app_test::Box{kTitle, kCompleted}));
    EXPECT_EQ(window.LogText(), FReference.LogBefore(AIndex) + FReference.Log());
    EXPECT_EQ(FJail.StoredFlags(), FSettled);
  }

  FaultJail FJail;
  ReferencePass FReference;
  JailFlags FSettled;
  int FPasses = 1;
};

TEST_F(PassFaultsTest, TheFaultFreePassMakesEveryDecisionAndSettlesTheFlags) {
  EXPECT_EQ(FSettled, SettledFlags(FJail.Sample()));
  const std::string log = FReference.Log();
  for (const char* decision :
       {"STATUS : All Containers Available", "STATUS : Some Containers Available",
        "STATUS : All Containers In Use / ", "STATUS : Over Use of Container / ",
        " Container Status: In Use", " Container Status : Available", " --> "}) {
    EXPECT_THAT(log, HasSubstr(decision));
  }
  bool setFree = false;
  bool setUsed = false;
  for (const auto& [key, flag] : FSettled.containers) {
    setFree = setFree || (flag == "1" && FJail.GeneratedFlags().containers.at(key) == "0");
    setUsed = setUsed || (flag == "0" && FJail.GeneratedFlags().containers.at(key) == "1");
  }
  EXPECT_TRUE(setFree && setUsed) << "the pass must correct flags both ways";
  EXPECT_GE(FJail.Sample().locations.size(), 20u);
}

// The requests are dealt out to shards that ctest runs side by side, each on
// a jail and stand-in of its own.
constexpr std::size_t kShards = 4;

class KillShardTest : public PassFaultsTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(KillShardTest, EndedAtEveryRequestByAKill) {
  const auto start = std::chrono::steady_clock::now();
  std::size_t covered = 0;
  for (std::size_t k = 1 + GetParam(); k <= PassRequests(); k += kShards) {
    FaultAt(k, Fault::kKill);
    ++covered;
    if (HasFailure()) break;
  }
  std::cout << "jail of " << FJail.Sample().locations.size() << " locations and "
            << FJail.Sample().containers.size() << " containers, " << PassRequests()
            << " requests per pass; shard " << GetParam() + 1 << " of " << kShards << ": "
            << covered << " requests ended by a kill, " << FPasses << " passes in "
            << std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()
            << " s\n";
}

INSTANTIATE_TEST_SUITE_P(Shards, KillShardTest, ::testing::Range<std::size_t>(0, kShards));

TEST_F(PassFaultsTest, EndedAtASampleOfRequestsByTheServerStopping) {
  const std::size_t last = PassRequests();
  std::set<std::size_t> sample = {1, 2, 3, last / 2, last - 1, last};
  for (std::size_t k = 25; k < last; k += 25) sample.insert(k);
  for (std::size_t k : sample) {
    FaultAt(k, Fault::kStop);
    if (HasFailure()) break;
  }
  std::cout << sample.size() << " requests ended by the server stopping, " << FPasses
            << " passes\n";
}

}  // namespace
}  // namespace faults_test
