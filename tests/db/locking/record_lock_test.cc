// Record locks between real sessions on the stand-in: who is refused and
// what the refusal says, where each step takes and releases its lock, what
// the server does when a holder's session ends, and IsLocked.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/exception.h"
#include "db/errors/client_errors.h"
#include "db/locking/error.h"
#include "db/locking/query.h"
#include "db/odbc/connect_settings.h"
#include "platform/identity.h"
#include "platform/regional_date_time.h"
#include "record_lock_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RecordLockTest : public ::testing::Test, protected record_lock_test::RecordLockFixture {
 protected:
  // The refusal `AAction` raises; fails the test when it raises none.
  static EVtDBLockError RefusalOf(const std::function<void()>& AAction) {
    try {
      AAction();
    } catch (const EVtDBLockError& refusal) {
      return refusal;
    }
    ADD_FAILURE() << "no EVtDBLockError";
    return EVtDBLockError("", "", "", "", "", "", "", TDateTime{});
  }

  // The eight lines naming this process as the holder of a RECLOCK record.
  static std::string OwnHolderMessage(TDateTime ATimeLocked) {
    return "The requested lock could not be granted.\r\n\r\n"
           "The record is already being edited.\r\n"
           "     User Name: " +
           platform::UserName() + "\r\n     Computer Name: " + platform::ComputerName() +
           "\r\n     Program Name: " + odbc::ProgramFileName() +
           "\r\n     Time Locked: " + platform::GeneralDateTimeText(ATimeLocked) +
           "\r\n     Table Name: RECLOCK";
  }

  // Stands `ADataSet` on the record whose UniqueKey is `AKey`.
  static void GoTo(TDataSet& ADataSet, const std::string& AKey) {
    ADataSet.First();
    while (!ADataSet.Eof() && ADataSet.FieldByName("UniqueKey").AsString() != AKey) ADataSet.Next();
    ASSERT_FALSE(ADataSet.Eof()) << AKey;
  }

  // An open query on RECLOCK's record `AKey` (none when there is no such record).
  std::unique_ptr<TVtMSQuery> OpenRecord(TMSConnection& AConnection, const std::string& AKey) {
    auto query = std::make_unique<TVtMSQuery>(nullptr);
    query->SetConnection(&AConnection);
    query->SQL().Add("SELECT * FROM RECLOCK WHERE UniqueKey = '" + AKey + "'");
    query->Open();
    return query;
  }

  std::unique_ptr<TMSConnection> other_ = NewConnection();
};

TEST_F(RecordLockTest, EditOfARecordHeldElsewhereIsRefusedUntilTheHolderLetsGo) {
  const struct {
    const char* Name;
    std::function<void(TVtMSTable&)> LetGo;
  } releases[] = {
      {"post", [](TVtMSTable& AHolder) { AHolder.Post(); }},
      {"cancel", [](TVtMSTable& AHolder) { AHolder.Cancel(); }},
      {"close", [](TVtMSTable& AHolder) { AHolder.Close(); }},
  };
  for (const auto& release : releases) {
    SCOPED_TRACE(release.Name);
    auto holder = OpenTable(FConnection);
    auto refused = OpenTable(*other_);
    const TDateTime before = platform::LocalNow();
    holder->Edit();
    EXPECT_EQ(holder->LockTableName(), LockName("K1"));

    const EVtDBLockError refusal = RefusalOf([&] { refused->Edit(); });
    EXPECT_EQ(refused->State(), dsBrowse);
    EXPECT_EQ(refused->LockTableName(), "");
    EXPECT_EQ(refusal.Message(), OwnHolderMessage(refusal.TimeLocked()));
    EXPECT_EQ(refusal.DatabaseName(), FConnection.Database());
    EXPECT_EQ(refusal.UniqueKey(), "K1");
    // Whole seconds are written.
    EXPECT_LE(std::abs(refusal.TimeLocked().Value - before.Value) * 86400, 2.0);

    release.LetGo(*holder);
    EXPECT_FALSE(LockExists(LockName("K1")));
    refused->Edit();
    EXPECT_EQ(refused->State(), dsEdit);
    refused->Cancel();
  }
}

TEST_F(RecordLockTest, TwoDatasetsOfOneProgramExcludeEachOther) {
  auto first = OpenTable(FConnection);
  auto second = OpenRecord(FConnection, "K1");
  first->Edit();
  const EVtDBLockError refusal = RefusalOf([&] { second->Delete(); });
  EXPECT_EQ(refusal.Message(), OwnHolderMessage(refusal.TimeLocked()));
  EXPECT_EQ(second->RecordCount(), 1);
  first->Cancel();
  second->Delete();
  EXPECT_EQ(FSetup.Scalar("SELECT COUNT(*) FROM RECLOCK WHERE UniqueKey = 'K1'"), "0");
}

TEST_F(RecordLockTest, ALockTableWithoutItsRowRefusesWithoutDetails) {
  FSetup.Exec("CREATE TABLE " + LockName("K1") + " (UniqueKey varchar(22))");
  auto table = OpenTable(FConnection);
  const EVtDBLockError refusal = RefusalOf([&] { table->Edit(); });
  EXPECT_EQ(refusal.Message(), "The requested lock could not be granted.");
  EXPECT_EQ(refusal.UserName() + refusal.ComputerName() + refusal.ProgramName() +
                refusal.TableName() + refusal.DatabaseName() + refusal.UniqueKey(),
            "");
  EXPECT_EQ(refusal.TimeLocked().Value, 0.0);
  EXPECT_EQ(table->State(), dsBrowse);
}

// The holder's fields are copied in order; a column the lock table lacks
// ends the reading there, and the refusal keeps what came before it.
TEST_F(RecordLockTest, AHolderRowReadPartWayKeepsTheFieldsReadBeforeTheError) {
  const struct {
    const char* Name;
    const char* Columns;
    const char* Values;
    const char* Read;  // the six texts joined by "|"
  } cases[] = {
      {"without UserName",
       "DatabaseName varchar(30), TableName varchar(30), UniqueKey varchar(30), "
       "ComputerName varchar(30)",
       "'DB', 'RECLOCK', 'K1', 'PC7'", "DB|RECLOCK|K1|PC7||"},
      {"without TimeLocked",
       "DatabaseName varchar(30), TableName varchar(30), UniqueKey varchar(30), "
       "ComputerName varchar(30), UserName varchar(30), ProgramName varchar(30)",
       "'DB', 'RECLOCK', 'K1', 'PC7', 'ann', 'JAIL.EXE'", "DB|RECLOCK|K1|PC7|ann|JAIL.EXE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string lock = LockName("K1");
    FSetup.Exec("CREATE TABLE " + lock + " (" + c.Columns + ")");
    FSetup.Exec("INSERT INTO " + lock + " VALUES (" + c.Values + ")");
    auto table = OpenTable(FConnection);
    const EVtDBLockError refusal = RefusalOf([&] { table->Edit(); });
    EXPECT_EQ(refusal.Message(), "The requested lock could not be granted.");
    EXPECT_EQ(refusal.DatabaseName() + "|" + refusal.TableName() + "|" + refusal.UniqueKey() + "|" +
                  refusal.ComputerName() + "|" + refusal.UserName() + "|" + refusal.ProgramName(),
              c.Read);
    EXPECT_EQ(refusal.TimeLocked().Value, 0.0);
    EXPECT_EQ(table->State(), dsBrowse);
    FSetup.Exec("DROP TABLE " + lock);
  }
}

TEST_F(RecordLockTest, ANameTheServerRejectsIsARefusalWithoutDetails) {
  const std::string longKey(120, 'k');
  FSetup.Exec("INSERT INTO RECLOCK VALUES ('" + longKey + "', 'long')");
  auto table = OpenRecord(FConnection, longKey);
  const EVtDBLockError refusal = RefusalOf([&] { table->Edit(); });
  EXPECT_EQ(refusal.Message(), "The requested lock could not be granted.");
  EXPECT_EQ(table->State(), dsBrowse);
}

TEST_F(RecordLockTest, EachStepTakesAndReleasesWhereItShould) {
  const struct {
    const char* Name;
    std::function<void(TVtMSTable&)> Steps;
    std::vector<std::string> Sent;
  } cases[] = {
      {"delete",
       [](TVtMSTable& ATable) { ATable.Delete(); },
       {"CREATE", "INSERT", "DELETE", "DROP"}},
      {"edit and post",
       [](TVtMSTable& ATable) {
         ATable.Edit();
         ATable.FieldByName("NAME").SetAsString("uno");
         ATable.Post();
       },
       {"CREATE", "INSERT", "UPDATE", "DROP"}},
      {"edit and cancel",
       [](TVtMSTable& ATable) {
         ATable.Edit();
         ATable.Cancel();
       },
       {"CREATE", "INSERT", "DROP"}},
      {"edit and close",
       [](TVtMSTable& ATable) {
         ATable.Edit();
         ATable.Close();
       },
       {"CREATE", "INSERT", "DROP"}},
      {"delete while editing reuses the lock",
       [](TVtMSTable& ATable) {
         ATable.Edit();
         ATable.Delete();
       },
       {"CREATE", "INSERT", "DELETE", "DROP"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    FSetup.Exec("DELETE FROM RECLOCK WHERE UniqueKey IN ('K1', 'K9')");
    FSetup.Exec("INSERT INTO RECLOCK VALUES ('K1', 'one')");
    auto table = OpenTable(FConnection);
    const std::size_t before = Requests().size();
    c.Steps(*table);
    EXPECT_EQ(LockStatementsAfter(before), c.Sent);
    EXPECT_EQ(table->LockTableName(), "");
    EXPECT_FALSE(LockExists(LockName("K1")));
  }
}

TEST_F(RecordLockTest, AFailedDeleteStillReleasesItsLock) {
  FConnection.Options().SetDefaultLockTimeout(100);
  auto table = OpenTable(FConnection);
  // Another session's open transaction holds the row; the DELETE times out.
  FSetup.SetAutocommit(false);
  FSetup.Exec("UPDATE RECLOCK SET NAME = 'held' WHERE UniqueKey = 'K1'");
  const std::size_t before = Requests().size();
  EXPECT_ANY_THROW(table->Delete());
  FSetup.Rollback();
  FSetup.SetAutocommit(true);
  EXPECT_EQ(LockStatementsAfter(before),
            std::vector<std::string>({"CREATE", "INSERT", "DELETE", "DROP"}));
  EXPECT_EQ(table->LockTableName(), "");
  EXPECT_FALSE(LockExists(LockName("K1")));
  EXPECT_EQ(FSetup.Scalar("SELECT COUNT(*) FROM RECLOCK WHERE UniqueKey = 'K1'"), "1");
}

TEST_F(RecordLockTest, PostOfANewRecordSendsNoLockStatement) {
  auto empty = OpenRecord(FConnection, "K9");
  const std::size_t before = Requests().size();
  empty->Edit();
  ASSERT_EQ(empty->State(), dsInsert);
  empty->FieldByName("UniqueKey").SetAsString("K9");
  empty->Post();
  EXPECT_EQ(FSetup.Scalar("SELECT COUNT(*) FROM RECLOCK WHERE UniqueKey = 'K9'"), "1");
  for (const std::string& request : RequestsAfter(before)) {
    EXPECT_EQ(request.find("##LOCK-"), std::string::npos) << request;
  }
}

TEST_F(RecordLockTest, AFailedPostKeepsTheLockUntilCancel) {
  auto table = OpenTable(FConnection);
  table->Edit();
  table->FieldByName("NAME").SetAsString(std::string(40, 'x'));  // longer than varchar(30)
  EXPECT_ANY_THROW(table->Post());
  EXPECT_EQ(table->State(), dsEdit);
  EXPECT_TRUE(LockExists(LockName("K1")));
  table->Cancel();
  EXPECT_FALSE(LockExists(LockName("K1")));
}

TEST_F(RecordLockTest, AKeyWithABracketAndAQuoteLocksItsOwnRecord) {
  auto holder = OpenTable(FConnection);
  GoTo(*holder, "it's]9");
  holder->Edit();
  EXPECT_EQ(holder->LockTableName(),
            "[tempdb].[dbo].[##LOCK-" + FConnection.Database() + ".RECLOCK.it's]]9]");
  EXPECT_EQ(FSetup.Scalar("SELECT UniqueKey FROM " + holder->LockTableName()), "it's]9");

  auto refused = OpenTable(*other_);
  GoTo(*refused, "it's]9");
  EXPECT_EQ(RefusalOf([&] { refused->Edit(); }).UniqueKey(), "it's]9");
  // In key order "it's]9" is the first record itself, so name another one.
  GoTo(*refused, "K1");
  refused->Edit();  // another record: another lock
  refused->Cancel();
  const std::string name = holder->LockTableName();
  holder->Post();
  EXPECT_FALSE(LockExists(name));
  EXPECT_EQ(FSetup.Scalar("SELECT COUNT(*) FROM RECLOCK"), "3");
}

TEST_F(RecordLockTest, TheServerDropsTheLocksOfAKilledHolder) {
  auto holder = OpenTable(*other_);
  holder->Edit();
  TVtMSQuery spid(nullptr);
  spid.SetConnection(other_.get());
  spid.SQL().Add("SELECT @@SPID AS spid");
  spid.Open();
  FSetup.Exec("KILL " + std::to_string(spid.FieldByName("spid").AsInteger()));
  auto table = OpenTable(FConnection);
  for (int attempt = 0; attempt < 100 && LockExists(LockName("K1")); ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  table->Edit();
  EXPECT_EQ(table->State(), dsEdit);
  table->Cancel();
}

TEST_F(RecordLockTest, ASessionLostBeforeLockingRaisesItsOwnErrorNotARefusal) {
  auto table = OpenTable(FConnection);
  FSetup.Exec("KILL " + std::to_string(ConnectionSpid()));
  try {
    table->Edit();
    ADD_FAILURE() << "an edit without a session";
  } catch (const EVtDBLockError& refusal) {
    ADD_FAILURE() << "a lost session taken for a refusal: " << refusal.Message();
  } catch (const EDAError&) {
  }
  EXPECT_FALSE(FConnection.Connected());
  EXPECT_EQ(table->LockTableName(), "");
}

TEST_F(RecordLockTest, ACancelWhoseReleaseLosesTheSessionLeavesTheDatasetClosed) {
  auto table = OpenTable(FConnection);
  table->Edit();
  FSetup.Exec("KILL " + std::to_string(ConnectionSpid()));
  table->Cancel();
  EXPECT_EQ(table->State(), dsInactive);
  // Not an insert into a dataset without fields.
  EXPECT_THROW(table->Edit(), EDatabaseError);
  EXPECT_EQ(table->State(), dsInactive);
}

TEST_F(RecordLockTest, WithoutTheProtocolNoLockStatementIsEverSent) {
  const struct {
    const char* Name;
    std::function<std::unique_ptr<TCustomMSDataSet>(TMSConnection&)> Make;
  } cases[] = {
      {"RecordLocksMake false",
       [this](TMSConnection& AConnection) {
         auto table = OpenTable(AConnection);
         table->SetRecordLocksMake(false);
         return std::unique_ptr<TCustomMSDataSet>(std::move(table));
       }},
      {"RecordLocksCheck false",
       [this](TMSConnection& AConnection) {
         auto table = OpenTable(AConnection);
         table->SetRecordLocksCheck(false);
         return std::unique_ptr<TCustomMSDataSet>(std::move(table));
       }},
      {"no UniqueKey field",
       [](TMSConnection& AConnection) {
         auto table = std::make_unique<TVtMSTable>(nullptr);
         table->SetConnection(&AConnection);
         table->SetTableName("CFGPROPL");
         table->Open();
         return std::unique_ptr<TCustomMSDataSet>(std::move(table));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    FSetup.Exec("DELETE FROM RECLOCK WHERE UniqueKey = 'K1'");
    FSetup.Exec("INSERT INTO RECLOCK VALUES ('K1', 'one')");
    std::unique_ptr<TCustomMSDataSet> dataSet = c.Make(FConnection);
    const std::size_t before = Requests().size();
    dataSet->Edit();
    dataSet->Cancel();
    dataSet->Edit();
    dataSet->Post();
    dataSet->Edit();
    dataSet->Close();
    dataSet->Open();
    dataSet->Edit();
    dataSet->Delete();
    dataSet->Edit();
    dataSet.reset();
    for (const std::string& request : RequestsAfter(before)) {
      EXPECT_EQ(request.find("##LOCK-"), std::string::npos) << request;
    }
  }
}

TEST_F(RecordLockTest, IsLockedInEachState) {
  auto table = OpenTable(FConnection);
  auto elsewhere = OpenTable(*other_);
  TVtMSTable closed(nullptr);
  closed.SetConnection(&FConnection);
  closed.SetTableName("RECLOCK");
  TVtMSQuery empty(nullptr);
  empty.SetConnection(&FConnection);
  empty.SQL().Add("SELECT * FROM RECLOCK WHERE 1 = 0");
  empty.Open();
  TVtMSQuery keyless(nullptr);
  keyless.SetConnection(&FConnection);
  keyless.SQL().Add("SELECT NAME FROM RECLOCK");
  keyless.Open();
  auto readOnly = std::make_unique<TVtMSTable>(nullptr);
  readOnly->SetConnection(&FConnection);
  readOnly->SetTableName("RECLOCK");
  readOnly->SetReadOnly(true);
  readOnly->Open();

  std::size_t before = Requests().size();
  EXPECT_FALSE(closed.IsLocked());
  EXPECT_FALSE(empty.IsLocked());
  EXPECT_THAT(RequestsAfter(before), IsEmpty());

  before = Requests().size();
  EXPECT_FALSE(table->IsLocked());
  EXPECT_EQ(table->State(), dsBrowse);
  EXPECT_THAT(LockStatementsAfter(before), ElementsAre("CREATE", "INSERT", "DROP"));

  table->Edit();
  EXPECT_TRUE(table->IsLocked());
  EXPECT_TRUE(elsewhere->IsLocked());
  EXPECT_EQ(elsewhere->State(), dsBrowse);
  table->SetRecordLocksMake(false);
  EXPECT_FALSE(table->IsLocked());
  table->SetRecordLocksMake(true);
  table->Cancel();
  EXPECT_FALSE(elsewhere->IsLocked());

  empty.Edit();
  ASSERT_EQ(empty.State(), dsInsert);
  EXPECT_TRUE(empty.IsLocked());
  empty.Cancel();

  before = Requests().size();
  EXPECT_FALSE(keyless.IsLocked());
  EXPECT_EQ(keyless.State(), dsBrowse);
  EXPECT_THAT(LockStatementsAfter(before), IsEmpty());
  EXPECT_TRUE(readOnly->IsLocked());
}

TEST_F(RecordLockTest, SwitchingTheProtocolOffWhileHoldingLeavesTheLockToTheSession) {
  auto table = OpenTable(FConnection);
  table->Edit();
  const std::string name = table->LockTableName();
  table->SetRecordLocksMake(false);
  table->Cancel();
  EXPECT_TRUE(LockExists(name));
  FConnection.Disconnect();
  for (int attempt = 0; attempt < 100 && LockExists(name); ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_FALSE(LockExists(name));
}

// A close raised out of a destructor would end the program: freeing an
// open, editing dataset whose close fails goes on.
TEST_F(RecordLockTest, FreeingADatasetWhoseCloseRaisesGoesOn) {
  const struct {
    const char* Name;
    std::function<std::unique_ptr<TCustomMSDataSet>()> Open;
  } cases[] = {
      {"table", [this] { return std::unique_ptr<TCustomMSDataSet>(OpenTable(FConnection)); }},
      {"query",
       [this] { return std::unique_ptr<TCustomMSDataSet>(OpenRecord(FConnection, "K2")); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    auto dataset = c.Open();
    dataset->Edit();
    int closes = 0;
    dataset->SetBeforeClose([&closes](TDataSet*) {
      ++closes;
      throw Exception("close refused");
    });
    dataset.reset();
    EXPECT_GE(closes, 1);
    EXPECT_TRUE(FConnection.Connected());
  }
}

}  // namespace
