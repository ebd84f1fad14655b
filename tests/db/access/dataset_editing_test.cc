// Editing through a dataset against the stand-in, a session killed while a
// dataset opens, and a stored open state when loading ends.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "dataset_fixture.h"
#include "db/errors/client_errors.h"
#include "db/sqlserver/query.h"
#include "db/sqlserver/table.h"

namespace {

using dataset_test::DatasetFixture;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

class DatasetEditingTest : public ::testing::Test, protected DatasetFixture {
 protected:
  DatasetEditingTest() {
    table_.SetName("tblCFGPropertyLocation");
    table_.SetConnection(&FConnection);
    table_.SetTableName("CFGPROPL");
  }

  std::string Location(int AKey) {
    return FSetup.Scalar("SELECT LOCATION FROM CFGPROPL WHERE LOCKEY = " + std::to_string(AKey))
        .value_or("NULL");
  }

  TMSTable table_{nullptr};
};

TEST_F(DatasetEditingTest, PostAndDeleteChangeTheTableByKey) {
  table_.Open();
  table_.Next();
  table_.Edit();
  table_.FieldByName("LOCATION").SetAsString("Shelf Z");
  table_.Post();
  EXPECT_EQ(Location(2), "Shelf Z");
  EXPECT_EQ(Location(1), "Shelf A");
  EXPECT_EQ(table_.FieldByName("LOCATION").AsString(), "Shelf Z");

  table_.Delete();
  EXPECT_EQ(FSetup.Scalar("SELECT COUNT(*) FROM CFGPROPL"), "2");
  EXPECT_EQ(table_.RecordCount(), 2);
  EXPECT_EQ(table_.FieldByName("LOCKEY").AsInteger(), 3);

  table_.Edit();
  table_.FieldByName("LOCATION").SetAsString("Cage Y");
  table_.Cancel();
  EXPECT_EQ(Location(3), "Cage C");
  // Every generated statement ran through one auxiliary dataset.
  EXPECT_EQ(table_.ComponentCount(), 1);
}

TEST_F(DatasetEditingTest, EditOfAnEmptyDatasetInserts) {
  FSetup.Exec("DELETE FROM CFGPROPC");
  TMSTable containers(nullptr);
  containers.SetConnection(&FConnection);
  containers.SetTableName("CFGPROPC");
  containers.Open();
  containers.Edit();
  EXPECT_EQ(containers.State(), dsInsert);
  containers.FieldByName("LOCKEY").SetAsInteger(3);
  containers.FieldByName("CONTAINER").SetAsString("Bin 9");
  containers.Post();
  EXPECT_EQ(FSetup.Scalar("SELECT CONTAINER FROM CFGPROPC WHERE LOCKEY = 3"), "Bin 9");
  EXPECT_EQ(containers.RecordCount(), 1);
}

TEST_F(DatasetEditingTest, BeforeEditRereadsTheRow) {
  table_.SetRefreshOptions({roBeforeEdit});
  table_.Open();
  FSetup.Exec("UPDATE CFGPROPL SET LOCATION = 'Moved' WHERE LOCKEY = 1");
  EXPECT_EQ(table_.FieldByName("LOCATION").AsString(), "Shelf A");
  table_.Edit();
  EXPECT_EQ(table_.FieldByName("LOCATION").AsString(), "Moved");
  table_.Cancel();
  EXPECT_EQ(table_.FieldByName("LOCATION").AsString(), "Moved");
}

TEST_F(DatasetEditingTest, ARejectedPostGoesToTheHandlerWhichMayRetry) {
  FSetup.Exec("CREATE TABLE keyed (id int NOT NULL PRIMARY KEY, v varchar(10))");
  FSetup.Exec("INSERT INTO keyed VALUES (1, 'one'), (2, 'two')");
  TMSTable keyed(nullptr);
  keyed.SetConnection(&FConnection);
  keyed.SetTableName("keyed");
  keyed.Open();
  keyed.Edit();
  keyed.FieldByName("id").SetAsInteger(2);
  int offered = 0;
  keyed.SetOnPostError([&](TDataSet* ADataSet, const EDatabaseError& AError, TDataAction& AAction) {
    ++offered;
    EXPECT_NE(dynamic_cast<const EMSError*>(&AError), nullptr);
    ADataSet->FieldByName("id").SetAsInteger(3);
    AAction = daRetry;
  });
  keyed.Post();
  EXPECT_EQ(offered, 1);
  EXPECT_EQ(keyed.State(), dsBrowse);
  EXPECT_EQ(FSetup.Scalar("SELECT v FROM keyed WHERE id = 3"), "one");
}

TEST_F(DatasetEditingTest, AReadOnlyDatasetRefusesChanges) {
  table_.SetReadOnly(true);
  table_.Open();
  EXPECT_THAT(
      [&] { table_.Edit(); },
      ThrowsMessage<EDatabaseError>("tblCFGPropertyLocation: Cannot modify a read-only dataset"));
  EXPECT_THAT(
      [&] { table_.Delete(); },
      ThrowsMessage<EDatabaseError>("tblCFGPropertyLocation: Cannot modify a read-only dataset"));
  EXPECT_EQ(table_.State(), dsBrowse);
}

TEST_F(DatasetEditingTest, RefreshOfAClosedAndDeleteOfAnEmptyTableAreRefused) {
  EXPECT_THAT([&] { table_.Refresh(); },
              ThrowsMessage<EDatabaseError>(
                  "tblCFGPropertyLocation: Cannot perform this operation on a closed dataset"));
  FSetup.Exec("DELETE FROM CFGPROPL");
  table_.Open();
  EXPECT_THAT([&] { table_.Delete(); },
              ThrowsMessage<EDatabaseError>(
                  "tblCFGPropertyLocation: Cannot perform this operation on an empty dataset"));
  EXPECT_TRUE(table_.Active());
}

TEST_F(DatasetEditingTest, AKilledSessionFailsTheOpeningAndTheNextOpenReconnects) {
  const int victim = ConnectionSpid();
  standin_test::OdbcTestConnection killer(FServer.port());
  killer.Exec("KILL " + std::to_string(victim));
  // KILL may return before the victim's socket is closed.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (;;) {
    try {
      table_.Open();
      table_.Close();
    } catch (const EOLEDBError& error) {
      EXPECT_FALSE(error.Message().empty());
      break;
    }
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the killed session still answers";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_FALSE(table_.Active());
  EXPECT_FALSE(FConnection.Connected());
  table_.Open();
  EXPECT_TRUE(FConnection.Connected());
  EXPECT_EQ(table_.RecordCount(), 3);
}

TEST_F(DatasetEditingTest, AnUnreachableServerLeavesTheDatasetClosedAndTheNextOpenRetries) {
  const int port = FServer.port();
  FConnection.SetPort(1);
  FConnection.SetConnectionTimeout(2);
  EXPECT_THROW(table_.Open(), EOLEDBError);
  EXPECT_FALSE(table_.Active());
  EXPECT_FALSE(FConnection.Connected());
  FConnection.SetPort(port);
  table_.Open();
  EXPECT_EQ(table_.RecordCount(), 3);
}

TEST_F(DatasetEditingTest, CreateDataSetBindsAndFreeingTheConnectionUnbinds) {
  TMSQuery owner(nullptr);
  auto connection = std::make_unique<TMSConnection>(nullptr);
  connection->SetServer("127.0.0.1");
  connection->SetPort(FServer.port());
  TCustomDADataSet* made = connection->CreateDataSet(&owner);
  EXPECT_NE(dynamic_cast<TCustomMSDataSet*>(made), nullptr);
  EXPECT_EQ(made->Owner(), &owner);
  EXPECT_EQ(made->Connection(), connection.get());
  made->SQL().Add("SELECT * FROM CFGPROPC");
  made->Open();
  EXPECT_EQ(made->RecordCount(), 3);
  connection.reset();
  EXPECT_FALSE(made->Active());
  EXPECT_EQ(made->Connection(), nullptr);
  EXPECT_THAT([&] { made->Open(); }, ThrowsMessage<EDatabaseError>("Connection is not defined"));
}

TEST_F(DatasetEditingTest, AStoredOpenStateNeedsKeepDesignConnected) {
  for (const bool keep : {false, true}) {
    FConnection.Options().SetKeepDesignConnected(keep);
    TMSTable table(nullptr);
    table.BeginLoading();
    table.SetActive(true);
    table.SetConnection(&FConnection);
    table.SetTableName("CFGPROPL");
    table.SetOrderFields("LOCKEY");
    EXPECT_FALSE(table.Active());
    table.Loaded();
    EXPECT_EQ(table.Active(), keep) << keep;
  }
}

TEST_F(DatasetEditingTest, DisconnectingClosesTheDatasetsAndDropsTheirPreparation) {
  auto query = std::make_unique<TMSQuery>(nullptr);
  query->SetConnection(&FConnection);
  query->SQL().Add("SELECT * FROM CFGPROPL");
  query->Prepare();
  query->Open();
  table_.Open();
  FConnection.Disconnect();
  EXPECT_FALSE(query->Active());
  EXPECT_FALSE(query->Prepared());
  EXPECT_FALSE(table_.Active());
  query->Open();
  EXPECT_EQ(query->RecordCount(), 3);
}

}  // namespace
