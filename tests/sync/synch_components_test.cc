// The window's property components against the stand-in: names and creation
// order, the statements the pass sends in their order and run kinds, and a
// table whose declared column does not match stopping the pass.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "db/fields/field.h"
#include "recording_view.h"
#include "synch_fixture.h"

namespace sync_test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class SynchComponentsTest : public ::testing::Test, protected SynchFixture {
 protected:
  void AddPropertyRoom() {
    FSetup.Exec(
        "INSERT INTO CFGPROPL (LOCATIONCODE, LOCATION, ALLOW, ONLOC, AVAILABLE, LOCKEY) VALUES "
        "('A1', 'Shelf A   ', 5, 0, NULL, 1), ('B2', 'Shelf B', 5, 0, NULL, 2)");
    FSetup.Exec(
        "INSERT INTO CFGPROPC (LOCKEY, LOCATIONCODE, CONTAINER, AVAILABLE, CONTAINERID) VALUES "
        "(1, 'A1', 'Bin 1', NULL, 10)");
    FSetup.Exec(
        "INSERT INTO WARDERLY (BOOKNO, KORAID, LNAME, FNAME, MNAME, NAMERELEAS) VALUES "
        "('B1', 'K1', 'Doe', 'John', 'Q', 0)");
    FSetup.Exec("INSERT INTO WRIPROP (PROPERTYNO, BOOKNO, LOCKEY) VALUES ('P1', 'B1', 1)");
    FSetup.Exec(
        "INSERT INTO WRPITEMS (PROPITEMNO, BOOKNO, LOCKEY, CONTAINERID, [RELEASE]) VALUES "
        "('I1', 'B1', 1, 10, 0)");
  }
};

TEST_F(SynchComponentsTest, CreatedNamedInTheWindowsOrder) {
  std::vector<std::string> names;
  for (TComponent* component : FComponents.InCreationOrder()) names.push_back(component->Name());
  EXPECT_THAT(names, ElementsAre("tblWarderly", "tblCFGPropertyContainers", "qryGeneric",
                                 "tblCFGPropertyLocation", "dtsWarderly", "dtsCFGPropertyLocations",
                                 "dtsCFGPropertyContainers", "tblInmProperty", "dtsInmProperty",
                                 "tblInmPropertyItems", "dtsInmPropertyItems"));
  struct Declared {
    TMSTable* dataSet;
    int fieldCount;
  };
  for (const Declared& d :
       {Declared{FComponents.tblCFGPropertyLocation, 6},
        Declared{FComponents.tblCFGPropertyContainers, 5}, Declared{FComponents.tblInmProperty, 20},
        Declared{FComponents.tblInmPropertyItems, 21}}) {
    EXPECT_EQ(d.dataSet->FieldCount(), d.fieldCount) << d.dataSet->Name();
  }
  const TField& lockey = FComponents.tblCFGPropertyLocation->Fields(5);
  EXPECT_EQ(lockey.Name(), "tblCFGPropertyLocationLOCKEY");
  EXPECT_EQ(lockey.Owner(), &FWindow);
  EXPECT_EQ(lockey.DataType(), ftLargeint);
  EXPECT_TRUE(lockey.ReadOnly());
  const TField& container = FComponents.tblCFGPropertyContainers->FieldByName("CONTAINER");
  EXPECT_EQ(container.Name(), "tblCFGPropertyContainersCONTAINER");
  EXPECT_EQ(container.Size(), 30);
  EXPECT_EQ(FComponents.tblCFGPropertyContainers->MasterSource(),
            FComponents.dtsCFGPropertyLocations);
  EXPECT_EQ(FComponents.dtsCFGPropertyLocations->DataSet(), FComponents.tblCFGPropertyLocation);
}

TEST_F(SynchComponentsTest, StatementsGoOutInThePassOrderWithTheirRunKinds) {
  AddPropertyRoom();
  RecordingView view;
  RunPass(view);
  std::vector<std::string> requests = PassRequests();
  const auto start =
      std::find(requests.begin(), requests.end(), "batch: SELECT * FROM [CFGPROPL]\\r\\n");
  ASSERT_NE(start, requests.end());
  requests.erase(requests.begin(), start);
  EXPECT_THAT(
      requests,
      ElementsAreArray<std::string>({
          "batch: SELECT * FROM [CFGPROPL]\\r\\n",
          "rpc sp_executesql: @stmt=N'SELECT * FROM [CFGPROPC]\\r\\nWHERE [LOCKEY] = @P1\\r\\n' "
          "@params=N'@P1 BIGINT' @P1 bigint=1",
          "rpc sp_prepexec: @handle int=NULL output @params=NULL @stmt=N'SELECT Count(LOCKEY) FROM "
          "WRIPROP WHERE LOCKEY = 1 AND BOOKNO IN (SELECT BOOKNO FROM WARDERLY WHERE NAMERELEAS = "
          "0)\\r\\n'",
          "rpc sp_unprepare: @handle int=1",
          "rpc sp_executesql: @stmt=N'SELECT Count(CONTAINERID) FROM WRPITEMS WHERE LOCKEY = @P1 "
          "AND CONTAINERID = @P2 AND RELEASE = @P3 AND BOOKNO IN (SELECT BOOKNO FROM WARDERLY "
          "WHERE NAMERELEAS = @P4)\\r\\n' @params=N'@P1 INT,@P2 INT,@P3 BIT,@P4 BIT' @P1 int=1 @P2 "
          "int=10 @P3 bit=0 @P4 bit=0",
          "rpc sp_prepexec: @handle int=NULL output @params=N'@P1 BIT,@P2 INT,@P3 INT' "
          "@stmt=N'UPDATE CFGPROPC SET AVAILABLE = @P1 WHERE LOCKEY = @P2 AND CONTAINERID = "
          "@P3\\r\\n' @P1 bit=0 @P2 int=1 @P3 int=10",
          "rpc sp_unprepare: @handle int=2",
          "rpc sp_executesql: @stmt=N'SELECT BOOKNO,KORAID,LNAME,FNAME,MNAME FROM WARDERLY WHERE "
          "NAMERELEAS = 0 AND BOOKNO IN (SELECT BOOKNO FROM WRPITEMS WHERE LOCKEY = @P1 AND "
          "CONTAINERID = @P2 AND RELEASE = @P3)\\r\\n' @params=N'@P1 INT,@P2 INT,@P3 BIT' @P1 "
          "int=1 @P2 int=10 @P3 bit=0",
          "rpc sp_executesql: @stmt=N'SELECT BOOKNO,KORAID,LNAME,FNAME,MNAME FROM WARDERLY WHERE "
          "NAMERELEAS = 0 AND BOOKNO IN (SELECT BOOKNO FROM WRPITEMS WHERE LOCKEY = @P1 AND "
          "RELEASE = @P2)\\r\\n' @params=N'@P1 INT,@P2 BIT' @P1 int=1 @P2 bit=0",
          "rpc sp_prepexec: @handle int=NULL output @params=N'@P1 BIT,@P2 INT' @stmt=N'UPDATE "
          "CFGPROPL SET AVAILABLE = @P1 WHERE LOCKEY = @P2\\r\\n' @P1 bit=0 @P2 int=1",
          "rpc sp_executesql: @stmt=N'SELECT * FROM [CFGPROPC]\\r\\nWHERE [LOCKEY] = @P1\\r\\n' "
          "@params=N'@P1 BIGINT' @P1 bigint=2",
          "rpc sp_unprepare: @handle int=3",
          "rpc sp_prepexec: @handle int=NULL output @params=NULL @stmt=N'SELECT Count(LOCKEY) FROM "
          "WRIPROP WHERE LOCKEY = 2 AND BOOKNO IN (SELECT BOOKNO FROM WARDERLY WHERE NAMERELEAS = "
          "0)\\r\\n'",
          "rpc sp_unprepare: @handle int=4",
          "rpc sp_prepexec: @handle int=NULL output @params=NULL @stmt=N'UPDATE CFGPROPL SET "
          "AVAILABLE = 1 WHERE LOCKEY = 2\\r\\n'",
          "rpc sp_unprepare: @handle int=5",
          "rpc sp_prepexec: @handle int=NULL output @params=NULL @stmt=N'UPDATE CFGPROPC SET "
          "AVAILABLE = 1 WHERE LOCKEY = 2\\r\\n'",
      }));
  // Trailing blanks of varchar values are trimmed before they reach the log.
  EXPECT_THAT(view.Log(), ::testing::HasSubstr("[ Shelf A ] - CODE"));
  for (TMSTable* unopened :
       {FComponents.tblWarderly, FComponents.tblInmProperty, FComponents.tblInmPropertyItems}) {
    EXPECT_FALSE(unopened->Active()) << unopened->Name();
  }
  EXPECT_TRUE(FComponents.tblCFGPropertyLocation->Active());
  EXPECT_TRUE(FComponents.tblCFGPropertyContainers->Active());
}

TEST_F(SynchComponentsTest, AKeyDeclaredWiderThanItsColumnStopsThePass) {
  FSetup.Exec("DROP TABLE CFGPROPL");
  FSetup.Exec(
      "CREATE TABLE CFGPROPL (LOCATIONCODE varchar(5), LOCATION varchar(30), ALLOW int, "
      "ONLOC int, AVAILABLE bit, LOCKEY int NOT NULL PRIMARY KEY)");
  FSetup.Exec("INSERT INTO CFGPROPL VALUES ('A1', 'Shelf A', 5, 0, NULL, 1)");
  RecordingView view;
  RunPass(view);
  EXPECT_THAT(view.Messages(),
              ElementsAre("tblCFGPropertyLocation: Type mismatch for field 'LOCKEY', expecting: "
                          "LargeInt actual: Integer On: "
                          "TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations",
                          "Process Aborted"));
  EXPECT_EQ(view.Progress(), "=0");
  EXPECT_EQ(view.Log(), "");
  EXPECT_EQ(LocationFlags(), "1:-");
}

}  // namespace
}  // namespace sync_test
