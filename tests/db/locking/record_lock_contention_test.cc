// Many sessions fighting over one record: the server's refusal to create a
// lock table twice must keep every edit to itself, each refusal must be
// whole, and no lock may outlive the sessions, also when some are killed.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "db/locking/refusal.h"
#include "db/odbc/connect_settings.h"
#include "db/sqlserver/query.h"
#include "platform/identity.h"
#include "record_lock_fixture.h"

namespace {

constexpr int kSessions = 8;
constexpr int kAttempts = 200;

const char kRefused[] = "The requested lock could not be granted.";

class RecordLockContentionTest : public ::testing::Test,
                                 protected record_lock_test::RecordLockFixture {
 protected:
  // One session's attempts to edit K1; ends early, without failing, once
  // the session has been killed (`AKilled`).
  void Contend(int ASession, const std::atomic<bool>& AKilled) {
    std::unique_ptr<TMSConnection> connection = NewConnection();
    std::unique_ptr<TVtMSTable> table = OpenTable(*connection);
    {
      TMSQuery spid(nullptr);
      spid.SetConnection(connection.get());
      spid.SQL().Add("SELECT @@SPID AS spid");
      spid.Open();
      spids_[ASession] = spid.FieldByName("spid").AsInteger();
    }
    ready_++;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      try {
        table->Edit();
      } catch (const EVtDBLockError& refusal) {
        CheckRefusal(refusal);
        continue;
      } catch (const std::exception& error) {
        if (!AKilled) Fail("edit: " + std::string(error.what()));
        return;
      }
      // Held from here until Post drops the lock; the pause gives a second
      // holder, if the server let one in, the time to show.
      if (holders_.fetch_add(1) != 0) Fail("two holders at once");
      table->FieldByName("NAME").SetAsString("s" + std::to_string(ASession));
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      holders_.fetch_sub(1);
      try {
        table->Post();
        edits_++;
      } catch (const std::exception& error) {
        if (!AKilled) Fail("post: " + std::string(error.what()));
        return;
      }
    }
  }

  // A refusal is the one line without details (the holder had not written
  // its row yet, or had dropped the table), or names this process's K1 row.
  void CheckRefusal(const EVtDBLockError& ARefusal) {
    refusals_++;
    if (ARefusal.Message() == kRefused) {
      if (!ARefusal.UserName().empty() || ARefusal.TimeLocked().Value != 0) {
        Fail("details without a message: " + ARefusal.UserName());
      }
      return;
    }
    if (ARefusal.Message() != HolderMessage(ARefusal) || ARefusal.UniqueKey() != "K1" ||
        ARefusal.TableName() != "RECLOCK" || ARefusal.UserName() != platform::UserName() ||
        ARefusal.ComputerName() != platform::ComputerName() ||
        ARefusal.ProgramName() != odbc::ProgramFileName()) {
      Fail("malformed refusal: " + ARefusal.Message());
    }
  }

  void Fail(const std::string& AWhat) {
    std::lock_guard guard(failures_mutex_);
    failures_.insert(AWhat);
  }

  // Runs the sessions; kills those in `AKill` once all are connected.
  void Run(const std::set<int>& AKill) {
    std::vector<std::atomic<bool>> killed(kSessions);
    std::vector<std::thread> sessions;
    for (int i = 0; i < kSessions; ++i) {
      sessions.emplace_back([this, i, &killed] { Contend(i, killed[i]); });
    }
    while (ready_ < kSessions) std::this_thread::yield();
    for (int i : AKill) {
      killed[i] = true;
      FSetup.Exec("KILL " + std::to_string(spids_[i].load()));
    }
    for (std::thread& session : sessions) session.join();
  }

  std::atomic<int> holders_{0};
  std::atomic<int> edits_{0};
  std::atomic<int> refusals_{0};
  std::atomic<int> ready_{0};
  std::atomic<int> spids_[kSessions] = {};
  std::mutex failures_mutex_;
  std::set<std::string> failures_;
};

TEST_F(RecordLockContentionTest, OneHolderAtATimeAndNoLockLeft) {
  Run({});
  EXPECT_TRUE(failures_.empty()) << *failures_.begin();
  EXPECT_GT(edits_, 0);
  EXPECT_EQ(edits_ + refusals_, kSessions * kAttempts);
  EXPECT_FALSE(LockExists(LockName("K1")));
}

TEST_F(RecordLockContentionTest, KilledSessionsLeaveNoLock) {
  Run({1, 4, 6});
  EXPECT_TRUE(failures_.empty()) << *failures_.begin();
  EXPECT_GT(edits_, 0);
  for (int attempt = 0; attempt < 100 && LockExists(LockName("K1")); ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_FALSE(LockExists(LockName("K1")));
}

}  // namespace
