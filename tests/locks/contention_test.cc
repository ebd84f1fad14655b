// Record locks fought over by many processes, each with its own session:
// every post is a read-modify-write of a counter, so a failure of mutual
// exclusion shows as a lost update. Some holders are SIGKILLed while they
// hold their lock; the server must then end their sessions and drop their
// lock tables so that the others go on. Stopping the server under the
// workers must end each of them with an error, never hang them.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <numeric>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "odbc_test_connection.h"
#include "platform/identity.h"
#include "platform/regional_date_time.h"
#include "standin_server.h"
#include "temp_dir.h"
#include "worker_process.h"

namespace {

using lock_contention::TWorkerEvent;
using lock_contention::TWorkerEventKind;
using lock_contention::TWorkerRole;
using lock_contention::WorkerProcess;

const char kDatabase[] = "Contention";
const std::vector<std::string> kKeys = {"R1", "R2", "R3"};
const char kRefused[] = "The requested lock could not be granted.";

// Bounds for waiting on the workers; reaching one fails the test, so they
// only need to be far above what a loaded machine takes.
constexpr auto kPatience = std::chrono::seconds(60);

class LockContentionTest : public ::testing::Test {
 protected:
  LockContentionTest() {
    admin_->Exec(std::string("CREATE DATABASE ") + kDatabase);
    admin_->Exec("CREATE TABLE " + Counters() +
                 " (UniqueKey varchar(22) NOT NULL PRIMARY KEY, COUNTER int NOT NULL)");
    for (const std::string& key : kKeys) {
      admin_->Exec("INSERT INTO " + Counters() + " VALUES ('" + key + "', 0)");
    }
  }

  static std::string Counters() { return std::string("[") + kDatabase + "].[dbo].[COUNTERS]"; }

  void Start(const std::vector<TWorkerRole>& ARoles) {
    const lock_contention::TWorkerSite site{server_.port(), kDatabase, kKeys, dir_.path() / "stop"};
    for (const TWorkerRole& role : ARoles) {
      workers_.push_back(std::make_unique<WorkerProcess>(dir_.path(), workers_.size(), site, role));
    }
  }

  // Polls `ACondition` until it holds; false after kPatience.
  static bool WaitUntil(const std::function<bool()>& ACondition) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!ACondition()) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

  // Every worker's events so far, in the order of `workers_`.
  std::vector<std::vector<TWorkerEvent>> AllEvents() const {
    std::vector<std::vector<TWorkerEvent>> events;
    for (const auto& worker : workers_) events.push_back(worker->Events());
    return events;
  }

  // How many events of `AKind` on `AKey` (any key when empty) all workers reported.
  int CountOf(TWorkerEventKind AKind, const std::string& AKey = "") const {
    int count = 0;
    for (const auto& events : AllEvents()) {
      count += std::count_if(events.begin(), events.end(), [&](const TWorkerEvent& AEvent) {
        return AEvent.Kind == AKind && (AKey.empty() || AEvent.Key == AKey);
      });
    }
    return count;
  }

  int Counter(const std::string& AKey) {
    return std::stoi(
        admin_->Scalar("SELECT COUNTER FROM " + Counters() + " WHERE UniqueKey = '" + AKey + "'")
            .value());
  }

  // The lock tables in tempdb, by name.
  std::vector<std::string> LockTables() {
    std::vector<std::string> names;
    for (const auto& row :
         admin_->Query("SELECT name FROM tempdb.sys.tables WHERE name LIKE '##LOCK-%'").rows) {
      names.push_back(row.at(0).value_or(""));
    }
    return names;
  }

  static std::string LockTableOf(const std::string& AKey) {
    return std::string("##LOCK-") + kDatabase + ".COUNTERS." + AKey;
  }

  bool LockHeld(const std::string& AKey) {
    const std::vector<std::string> names = LockTables();
    return std::find(names.begin(), names.end(), LockTableOf(AKey)) != names.end();
  }

  // What is wrong with the refusal `AEvent` reports; empty when it is the
  // bare refusal (the holder had not written its row yet, or had just let
  // go) or names a holder of the record it was refused, locked during the test.
  std::string RefusalFault(const TWorkerEvent& AEvent) const {
    const lock_contention::TRefusalFields& r = AEvent.Refusal;
    if (r.Message == kRefused) {
      const bool bare = r == lock_contention::TRefusalFields{.Message = kRefused};
      return bare ? "" : "details without the holder's message: " + r.UserName;
    }
    const std::string expected =
        std::string(kRefused) + "\r\n\r\nThe record is already being edited.\r\n" +
        "     User Name: " + platform::UserName() + "\r\n" +
        "     Computer Name: " + platform::ComputerName() + "\r\n" +
        "     Program Name: lock_worker\r\n" +
        "     Time Locked: " + platform::GeneralDateTimeText(TDateTime{r.TimeLocked}) + "\r\n" +
        "     Table Name: COUNTERS";
    if (r.Message != expected) return "message: " + r.Message;
    if (r.DatabaseName != kDatabase || r.TableName != "COUNTERS" || r.UniqueKey != AEvent.Key ||
        r.ComputerName != platform::ComputerName() || r.UserName != platform::UserName() ||
        r.ProgramName != "lock_worker") {
      return "holder's fields for " + AEvent.Key + ": " + r.DatabaseName + " " + r.TableName + " " +
             r.UniqueKey + " " + r.ComputerName + " " + r.UserName + " " + r.ProgramName;
    }
    // The row holds whole seconds, read off the clock after the test began.
    const double seconds_since_start = (r.TimeLocked - started_.Value) * 86400;
    if (seconds_since_start < -1 || r.TimeLocked > platform::LocalNow().Value) {
      return "time locked " + platform::GeneralDateTimeText(TDateTime{r.TimeLocked});
    }
    return "";
  }

  // Kills the holder `AVictim` once others have been refused the record it
  // holds at `AValue`, and checks that the record stayed untouched meanwhile
  // and that the server drops the lock and lets another worker post it.
  void KillHolder(WorkerProcess& AVictim, const std::string& AKey, int AValue) {
    SCOPED_TRACE("worker " + std::to_string(AVictim.Index()) + " holding " + AKey);
    EXPECT_TRUE(LockHeld(AKey));
    // A few refusals prove the hold contested, not merely long.
    const int refused_before = CountOf(TWorkerEventKind::Refused, AKey);
    EXPECT_TRUE(
        WaitUntil([&] { return CountOf(TWorkerEventKind::Refused, AKey) >= refused_before + 3; }));
    EXPECT_EQ(Counter(AKey), AValue);
    AVictim.Process().Signal(SIGKILL);
    EXPECT_EQ(AVictim.Process().WaitFor(kPatience), 128 + SIGKILL);
    EXPECT_TRUE(WaitUntil([&] { return !LockHeld(AKey); })) << "the killed holder's lock stays";
    EXPECT_TRUE(WaitUntil([&] { return Counter(AKey) > AValue; })) << "no one took the record";
  }

  // The counter values each record's confirmed posts wrote, in order.
  std::map<std::string, std::vector<int>> WrittenValues() const {
    std::map<std::string, std::vector<int>> written;
    for (const auto& events : AllEvents()) {
      for (const TWorkerEvent& event : events) {
        if (event.Kind == TWorkerEventKind::Posted) written[event.Key].push_back(event.Value);
      }
    }
    for (auto& [key, values] : written) std::sort(values.begin(), values.end());
    return written;
  }

  const TDateTime started_ = platform::LocalNow();
  standin_test::StandinServer server_;
  std::unique_ptr<standin_test::OdbcTestConnection> admin_ =
      std::make_unique<standin_test::OdbcTestConnection>(server_.port());
  standin_test::TempDir dir_;
  std::vector<std::unique_ptr<WorkerProcess>> workers_;
};

TEST_F(LockContentionTest, ProcessesKeepEveryUpdateAndKilledHoldersLetGo) {
  // Tables and queries alternate, so both must name the same lock; one
  // holder per record is killed, after a different number of its posts.
  std::vector<TWorkerRole> roles;
  for (std::size_t i = 0; i < 14; ++i) roles.push_back({.UseQuery = i % 2 == 1, .First = i});
  for (std::size_t k = 0; k < kKeys.size(); ++k) {
    roles.push_back(
        {.UseQuery = k % 2 == 0, .OnlyKeys = {kKeys[k]}, .HoldAfter = static_cast<int>(k + 1)});
  }
  Start(roles);
  ASSERT_TRUE(WaitUntil([&] { return CountOf(TWorkerEventKind::Ready) == int(workers_.size()); }));

  std::set<WorkerProcess*> holders;
  for (const auto& worker : workers_) {
    if (worker->Role().HoldAfter) holders.insert(worker.get());
  }
  while (!holders.empty()) {
    WorkerProcess* victim = nullptr;
    TWorkerEvent holding;
    ASSERT_TRUE(WaitUntil([&] {
      for (WorkerProcess* holder : holders) {
        for (const TWorkerEvent& event : holder->Events()) {
          if (event.Kind != TWorkerEventKind::Holding) continue;
          victim = holder;
          holding = event;
          return true;
        }
      }
      return false;
    }));
    KillHolder(*victim, holding.Key, holding.Value);
    holders.erase(victim);
  }
  ASSERT_TRUE(WaitUntil([&] { return CountOf(TWorkerEventKind::Posted) >= 600; }));

  std::ofstream(dir_.path() / "stop").close();
  for (const auto& worker : workers_) {
    if (worker->Role().HoldAfter) continue;
    EXPECT_EQ(worker->Process().WaitFor(kPatience), 0)
        << "worker " << worker->Index() << ": " << worker->ErrorOutput();
  }

  std::set<std::string> faults;
  for (const auto& events : AllEvents()) {
    for (const TWorkerEvent& event : events) {
      if (event.Kind == TWorkerEventKind::Failed) faults.insert("failed: " + event.Text);
      if (event.Kind == TWorkerEventKind::Refused) {
        const std::string fault = RefusalFault(event);
        if (!fault.empty()) faults.insert(fault);
      }
    }
  }
  EXPECT_TRUE(faults.empty()) << *faults.begin();
  // Each record's counter was written 1, 2, ... by the confirmed posts, each
  // value once: a lost update writes one twice.
  std::map<std::string, std::vector<int>> written = WrittenValues();
  for (const std::string& key : kKeys) {
    std::vector<int> expected(Counter(key));
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(written[key], expected) << key;
  }
  EXPECT_EQ(LockTables(), std::vector<std::string>());
}

}  // namespace

TEST_F(LockContentionTest, StoppingTheServerEndsEveryWorkerWithAnError) {
  std::vector<TWorkerRole> roles;
  for (std::size_t i = 0; i < 8; ++i) roles.push_back({.UseQuery = i % 2 == 1, .First = i});
  Start(roles);
  ASSERT_TRUE(WaitUntil([&] { return CountOf(TWorkerEventKind::Posted) >= 50; }));
  server_.stop();
  for (const auto& worker : workers_) {
    SCOPED_TRACE("worker " + std::to_string(worker->Index()));
    EXPECT_EQ(worker->Process().WaitFor(kPatience), 2) << worker->ErrorOutput();
    const std::vector<TWorkerEvent> events = worker->Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().Kind, TWorkerEventKind::Failed);
    EXPECT_NE(events.back().Text, "");
  }

  // A post the server ran as it stopped may have gone unconfirmed, one per
  // worker at most; every confirmed one still wrote a value of its own.
  server_.restart();
  admin_ = std::make_unique<standin_test::OdbcTestConnection>(server_.port());
  std::map<std::string, std::vector<int>> written = WrittenValues();
  for (const std::string& key : kKeys) {
    SCOPED_TRACE(key);
    const std::vector<int>& values = written[key];
    EXPECT_EQ(std::adjacent_find(values.begin(), values.end()), values.end());
    const int counter = Counter(key);
    EXPECT_GE(counter, values.empty() ? 0 : values.back());
    EXPECT_LE(counter - int(values.size()), int(workers_.size()));
  }
  EXPECT_EQ(LockTables(), std::vector<std::string>());
}
