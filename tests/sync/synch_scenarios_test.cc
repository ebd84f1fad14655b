// The synchronization pass on small property rooms, one scenario per edge
// case: the flags it leaves in the database, the exact log, the message
// boxes, the captions and the progress bar; and the statements it sends, in
// order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "recording_view.h"
#include "synch_fixture.h"

namespace sync_test {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

const std::string kRule = "===========================";
const std::string kDone = "Property Locations Synchronization Completed";
const std::string kOn = " On: TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations";

// The rows of a scenario, one INSERT each; AVAILABLE starts NULL so that a
// flag the pass does not write shows as "-".
std::string Location(std::int64_t AKey, const std::string& ACode, const std::string& AName) {
  return "INSERT INTO CFGPROPL (LOCATIONCODE, LOCATION, ALLOW, ONLOC, AVAILABLE, LOCKEY) VALUES "
         "('" +
         ACode + "', '" + AName + "', 5, 0, NULL, " + std::to_string(AKey) + ")";
}
std::string Container(int ALocKey, std::int64_t AKey, const std::string& AName) {
  return "INSERT INTO CFGPROPC (LOCKEY, LOCATIONCODE, CONTAINER, AVAILABLE, CONTAINERID) VALUES (" +
         std::to_string(ALocKey) + ", 'X', '" + AName + "', NULL, " + std::to_string(AKey) + ")";
}
// `AReleased` and `AMiddleName` are SQL literals ("0", "1", "NULL", "'Q'").
std::string Booking(const std::string& ABookNo, const std::string& ALast, const std::string& AFirst,
                    const std::string& AMiddleName, const std::string& AReleased) {
  return "INSERT INTO WARDERLY (BOOKNO, KORAID, LNAME, FNAME, MNAME, NAMERELEAS) VALUES ('" +
         ABookNo + "', 'K" + ABookNo + "', '" + ALast + "', '" + AFirst + "', " + AMiddleName +
         ", " + AReleased + ")";
}
std::string Header(const std::string& ABookNo, int ALocKey) {
  return "INSERT INTO WRIPROP (PROPERTYNO, BOOKNO, LOCKEY) VALUES ('P" + ABookNo + "', '" +
         ABookNo + "', " + std::to_string(ALocKey) + ")";
}
// `ARelease` is a SQL literal.
std::string Item(const std::string& ABookNo, int ALocKey, int AContainerKey,
                 const std::string& ARelease) {
  return "INSERT INTO WRPITEMS (PROPITEMNO, BOOKNO, LOCKEY, CONTAINERID, [RELEASE]) VALUES ('I" +
         ABookNo + "', '" + ABookNo + "', " + std::to_string(ALocKey) + ", " +
         std::to_string(AContainerKey) + ", " + ARelease + ")";
}

std::string Lines(const std::vector<std::string>& ALines) {
  std::string text;
  for (const std::string& line : ALines) text += line + "\r\n";
  return text;
}

struct Scenario {
  std::string name = {};
  std::vector<std::string> rows = {};
  int passes = 1;
  // A statement the test's own session runs when lblWhatHappen shows `interruptAt`.
  std::string interruptAt = "";
  std::string interruptSql = "";
  std::string locationFlags = {};
  std::string containerFlags = {};
  std::vector<std::string> log = {};  // of one pass; repeated for each pass
  std::vector<std::string> messages = {};
  std::string passesCaptions = {};
  std::vector<std::string> whatHappen = {};
  std::string progress = {};
};

std::string ContainerLine(const std::string& ALocation, const std::string& AContainer) {
  return " LOCATION : [ Shelf A ] - CODE : [ A1 ] - KEY : [ 1 ] / CONTAINER: [ " + AContainer +
         " ] / CONTAINER_ID: [ " + ALocation + " ]";
}

const std::vector<Scenario>& Scenarios() {
  static const std::vector<Scenario> scenarios = {
      {.name = "EmptyTable", .messages = {kDone}, .passesCaptions = "0", .progress = "=0 =0"},
      {.name = "NoHeldHeaderReleasesEverything",
       .rows = {Location(1, "A1", "Shelf A"), Container(1, 10, "Bin 1"), Container(1, 11, "Bin 2"),
                Booking("B1", "Doe", "John", "'Q'", "1"), Header("B1", 1), Item("B1", 1, 10, "0"),
                // held, with an item here, but its header is elsewhere
                Booking("B2", "Roe", "Jane", "'M'", "0"), Header("B2", 99), Item("B2", 1, 11, "0")},
       .locationFlags = "1:1",
       .containerFlags = "10:1 11:1",
       .log = {kRule,
               "  LOCATION : [ Shelf A ] / CODE : [ A1 ] / KEY : [ 1 ] - STATUS : All Containers "
               "Available",
               kRule},
       .messages = {kDone},
       .passesCaptions = "1 0",
       .progress = "=0 max3 step1 +1 =0"},
      {.name = "HeldHeaderWithoutUsedContainer",
       .rows = {Location(1, "A1", "Shelf A"), Container(1, 10, "Bin 1"), Container(1, 11, "Bin 2"),
                Booking("B1", "Doe", "John", "'Q'", "0"), Header("B1", 1), Item("B1", 1, 10, "1"),
                Booking("B2", "Roe", "Jane", "'M'", "1"), Header("B2", 1), Item("B2", 1, 11, "0")},
       .locationFlags = "1:1",
       .containerFlags = "10:1 11:1",
       .log = {kRule, ContainerLine("10", "Bin 1"), " Container Status : Available", kRule, kRule,
               ContainerLine("11", "Bin 2"), " Container Status : Available", kRule, kRule,
               "  LOCATION : [ Shelf A ] - CODE : [ A1 ] - ID : [ 1 ] - STATUS : Some Containers "
               "Available",
               kRule},
       .messages = {kDone},
       .passesCaptions = "1 0",
       .whatHappen = {"Synching Location :Shelf A Container : Bin 1 Container ID : 10",
                      "Synching Location :Shelf A Container : Bin 2 Container ID : 11"},
       .progress = "=0 max3 step1 +1 W +2 W +3 =0"},
      {.name = "HeldHeaderWithoutContainers",
       .rows = {Location(1, "A1", "Shelf A"), Booking("B1", "Doe", "John", "'Q'", "0"),
                Header("B1", 1)},
       .locationFlags = "1:0",
       .log = {kRule,
               "  LOCATION : [ Shelf A ] - CODE : [ A1 ] - ID : [ 1 ] - STATUS : All Containers In "
               "Use / ",
               kRule},
       .messages = {kDone},
       .passesCaptions = "1 0",
       .progress = "=0 max1 step1 +1 =0"},
      {.name = "AllContainersUsed",
       .rows = {Location(1, "A1", "Shelf A"), Container(1, 10, "Bin 1"), Container(1, 11, "Bin 2"),
                Booking("B1", "Doe", "John", "'Q'", "0"), Header("B1", 1), Item("B1", 1, 10, "0"),
                Booking("B2", "Roe", "Jane", "'M'", "0"), Header("B2", 1), Item("B2", 1, 11, "0")},
       .locationFlags = "1:0",
       .containerFlags = "10:0 11:0",
       .log = {kRule, ContainerLine("10", "Bin 1"), " Container Status: In Use",
               " Inmates using this location:", " --> Doe, John Q - BookNo: B1", kRule, kRule,
               ContainerLine("11", "Bin 2"), " Container Status: In Use",
               " Inmates using this location:", " --> Roe, Jane M - BookNo: B2", kRule, kRule,
               "  LOCATION : [ Shelf A ] - CODE : [ A1 ] - ID : [ 1 ] - STATUS : All Containers In "
               "Use / ",
               kRule},
       .messages = {kDone},
       .passesCaptions = "1 0",
       .whatHappen = {"Synching Location :Shelf A Container : Bin 1 Container ID : 10",
                      "Synching Location :Shelf A Container : Bin 2 Container ID : 11"},
       .progress = "=0 max3 step1 +1 W +2 W +3 =0"},
      {.name = "MoreInmatesThanContainers",
       .rows = {Location(1, "A1", "Shelf A"), Container(1, 10, "Bin 1"),
                Booking("B1", "Doe", "John", "'Q'", "0"), Header("B1", 1), Item("B1", 1, 10, "0"),
                Booking("B2", "Roe", "Jane", "'M'", "0"), Header("B2", 1), Item("B2", 1, 10, "0")},
       .locationFlags = "1:0",
       .containerFlags = "10:0",
       .log = {kRule, ContainerLine("10", "Bin 1"), " Container Status: In Use",
               " Inmates using this location:", " --> Doe, John Q - BookNo: B1",
               " --> Roe, Jane M - BookNo: B2", kRule, kRule,
               " LOCATION : [ Shelf A ] - CODE : [ A1 ] - KEY : [ 1 ] / You had more inmates "
               "assing to containers on thsi location than containers available, to fix this "
               "problem you need to copy the following inmates list and manually correct the "
               "discrepancy ",
               "", "Inmates using this containers on this Location:",
               " --> Doe, John Q - BookNo: B1", " --> Roe, Jane M - BookNo: B2", kRule,
               "  LOCATION : [ Shelf A ] - CODE : [ A1 ] - ID : [ 1 ] - STATUS : Over Use of "
               "Container / ",
               kRule},
       .messages = {kDone},
       .passesCaptions = "1 0",
       .whatHappen = {"Synching Location :Shelf A Container : Bin 1 Container ID : 10"},
       .progress = "=0 max2 step1 +1 W +2 =0"},
      {.name = "NullFlagsDoNotCount",
       .rows = {Location(1, "A1", "Shelf A"), Container(1, 10, "Bin 1"),
                Location(2, "B2", "Shelf B"), Container(2, 20, "Bin 2"),
                Booking("B1", "Doe", "John", "'Q'", "NULL"), Header("B1", 1),
                Item("B1", 1, 10, "0"), Booking("B2", "Roe", "Jane", "'M'", "0"), Header("B2", 2),
                Item("B2", 2, 20, "NULL")},
       .locationFlags = "1:1 2:1",
       .containerFlags = "10:1 20:1",
       .log = {kRule,
               "  LOCATION : [ Shelf A ] / CODE : [ A1 ] / KEY : [ 1 ] - STATUS : All Containers "
               "Available",
               kRule, kRule,
               " LOCATION : [ Shelf B ] - CODE : [ B2 ] - KEY : [ 2 ] / CONTAINER: [ Bin 2 ] / "
               "CONTAINER_ID: [ 20 ]",
               " Container Status : Available", kRule, kRule,
               "  LOCATION : [ Shelf B ] - CODE : [ B2 ] - ID : [ 2 ] - STATUS : Some Containers "
               "Available",
               kRule},
       .messages = {kDone},
       .passesCaptions = "2 1 0",
       .whatHappen = {"Synching Location :Shelf B Container : Bin 2 Container ID : 20"},
       .progress = "=0 max3 step1 +1 max2 step1 +2 W +0 =0"},
      {.name = "OneInmateInSeveralContainers",
       .rows = {Location(1, "A1", "Shelf A"), Container(1, 10, "Bin 1"), Container(1, 11, "Bin 2"),
                Container(1, 12, "Bin 3"), Booking("B1", "Doe", "John", "'Q'", "0"),
                Header("B1", 1), Item("B1", 1, 10, "0"), Item("B1", 1, 10, "0"),
                Item("B1", 1, 11, "0")},
       .locationFlags = "1:1",
       .containerFlags = "10:0 11:0 12:1",
       .log = {kRule, ContainerLine("10", "Bin 1"), " Container Status: In Use",
               " Inmates using this location:", " --> Doe, John Q - BookNo: B1", kRule, kRule,
               ContainerLine("11", "Bin 2"), " Container Status: In Use",
               " Inmates using this location:", " --> Doe, John Q - BookNo: B1", kRule, kRule,
               ContainerLine("12", "Bin 3"), " Container Status : Available", kRule, kRule,
               "  LOCATION : [ Shelf A ] - CODE : [ A1 ] - ID : [ 1 ] - STATUS : Some Containers "
               "Available",
               kRule},
       .messages = {kDone},
       .passesCaptions = "1 0",
       .whatHappen = {"Synching Location :Shelf A Container : Bin 1 Container ID : 10",
                      "Synching Location :Shelf A Container : Bin 2 Container ID : 11",
                      "Synching Location :Shelf A Container : Bin 3 Container ID : 12"},
       .progress = "=0 max4 step1 +1 W +2 W +3 W +4 =0"},
      {.name = "EmptyOrNullMiddleName",
       .rows = {Location(1, "A1", "Shelf A"), Container(1, 10, "Bin 1"), Container(1, 11, "Bin 2"),
                Container(1, 12, "Bin 3"), Booking("B1", "Doe", "John", "''", "0"), Header("B1", 1),
                Item("B1", 1, 10, "0"), Booking("B2", "Roe", "Jane", "NULL", "0"), Header("B2", 1),
                Item("B2", 1, 11, "0")},
       .locationFlags = "1:1",
       .containerFlags = "10:0 11:0 12:1",
       .log = {kRule, ContainerLine("10", "Bin 1"), " Container Status: In Use",
               " Inmates using this location:", " --> Doe, John  - BookNo: B1", kRule, kRule,
               ContainerLine("11", "Bin 2"), " Container Status: In Use",
               " Inmates using this location:", " --> Roe, Jane  - BookNo: B2", kRule, kRule,
               ContainerLine("12", "Bin 3"), " Container Status : Available", kRule, kRule,
               "  LOCATION : [ Shelf A ] - CODE : [ A1 ] - ID : [ 1 ] - STATUS : Some Containers "
               "Available",
               kRule},
       .messages = {kDone},
       .passesCaptions = "1 0",
       .whatHappen = {"Synching Location :Shelf A Container : Bin 1 Container ID : 10",
                      "Synching Location :Shelf A Container : Bin 2 Container ID : 11",
                      "Synching Location :Shelf A Container : Bin 3 Container ID : 12"},
       .progress = "=0 max4 step1 +1 W +2 W +3 W +4 =0"},
      {.name = "TableDroppedAtTheThirdLocation",
       .rows = {Location(1, "A1", "Shelf A"), Location(2, "B2", "Shelf B"),
                Container(2, 20, "Bin 20"), Location(3, "C3", "Cage C"), Container(3, 30, "Bin 30"),
                Container(3, 31, "Bin 31"), Booking("B1", "Doe", "John", "'Q'", "0"),
                Header("B1", 2), Item("B1", 2, 20, "0"), Booking("B2", "Roe", "Jane", "'M'", "0"),
                Header("B2", 3), Item("B2", 3, 30, "0")},
       .interruptAt = "Synching Location :Cage C Container : Bin 31 Container ID : 31",
       .interruptSql = "DROP TABLE WRPITEMS",
       .locationFlags = "1:1 2:0 3:-",
       .containerFlags = "20:0 30:0 31:-",
       .log = {kRule,
               "  LOCATION : [ Shelf A ] / CODE : [ A1 ] / KEY : [ 1 ] - STATUS : All Containers "
               "Available",
               kRule, kRule,
               " LOCATION : [ Shelf B ] - CODE : [ B2 ] - KEY : [ 2 ] / CONTAINER: [ Bin 20 ] / "
               "CONTAINER_ID: [ 20 ]",
               " Container Status: In Use",
               " Inmates using this location:", " --> Doe, John Q - BookNo: B1", kRule, kRule,
               "  LOCATION : [ Shelf B ] - CODE : [ B2 ] - ID : [ 2 ] - STATUS : All Containers In "
               "Use / ",
               kRule, kRule,
               " LOCATION : [ Cage C ] - CODE : [ C3 ] - KEY : [ 3 ] / CONTAINER: [ Bin 30 ] / "
               "CONTAINER_ID: [ 30 ]",
               " Container Status: In Use",
               " Inmates using this location:", " --> Roe, Jane M - BookNo: B2", kRule},
       .messages = {"qryGeneric: Invalid object name 'WRPITEMS'." + kOn, "Process Aborted"},
       .passesCaptions = "3 2 1",
       .whatHappen = {"Synching Location :Shelf B Container : Bin 20 Container ID : 20",
                      "Synching Location :Cage C Container : Bin 30 Container ID : 30",
                      "Synching Location :Cage C Container : Bin 31 Container ID : 31"},
       .progress = "=0 max3 step1 +1 max3 step1 +2 W +3 max3 step1 +0 W =0"},
      {.name = "TwoPassesAppend",
       .rows = {Location(1, "A1", "Shelf A"), Container(1, 10, "Bin 1"),
                Location(2, "B2", "Shelf B"), Booking("B1", "Doe", "John", "'Q'", "0"),
                Header("B1", 1), Item("B1", 1, 10, "0")},
       .passes = 2,
       .locationFlags = "1:0 2:1",
       .containerFlags = "10:0",
       .log = {kRule, ContainerLine("10", "Bin 1"), " Container Status: In Use",
               " Inmates using this location:", " --> Doe, John Q - BookNo: B1", kRule, kRule,
               "  LOCATION : [ Shelf A ] - CODE : [ A1 ] - ID : [ 1 ] - STATUS : All Containers In "
               "Use / ",
               kRule, kRule,
               "  LOCATION : [ Shelf B ] / CODE : [ B2 ] / KEY : [ 2 ] - STATUS : All Containers "
               "Available",
               kRule},
       .messages = {kDone, kDone},
       .passesCaptions = "2 1 0 2 1 0",
       .whatHappen = {"Synching Location :Shelf A Container : Bin 1 Container ID : 10",
                      "Synching Location :Shelf A Container : Bin 1 Container ID : 10"},
       .progress = "=0 max3 step1 +1 W +2 max1 step1 +0 =0 =0 max3 step1 +1 W +2 max1 step1 +0 =0"},
      {.name = "LocationKeyAbove32Bits",
       .rows = {Location(1, "A1", "Shelf A"), Location(5, "E5", "Shelf E"),
                // its low 32 bits are 5: read that way, it would release Shelf E
                Location(4294967301, "X9", "Shelf X"), Booking("B1", "Doe", "John", "'Q'", "0"),
                Header("B1", 5)},
       .locationFlags = "1:1 5:0 4294967301:-",
       .log = {kRule,
               "  LOCATION : [ Shelf A ] / CODE : [ A1 ] / KEY : [ 1 ] - STATUS : All Containers "
               "Available",
               kRule, kRule,
               "  LOCATION : [ Shelf E ] - CODE : [ E5 ] - ID : [ 5 ] - STATUS : All Containers In "
               "Use / ",
               kRule},
       .messages = {"Key 4294967301 of CFGPROPL does not fit a 32-bit integer" + kOn,
                    "Process Aborted"},
       .passesCaptions = "3 2 1",
       .progress = "=0 max3 step1 +1 max2 step1 +2 max1 step1 =0"},
      {.name = "ContainerKeyAbove32Bits",
       .rows = {Location(1, "A1", "Shelf A"), Container(1, 10, "Bin 1"),
                Container(1, 2147483648, "Bin 2"), Booking("B1", "Doe", "John", "'Q'", "0"),
                Header("B1", 1)},
       .locationFlags = "1:-",
       .containerFlags = "10:1 2147483648:-",
       .log = {kRule, ContainerLine("10", "Bin 1"), " Container Status : Available", kRule},
       .messages = {"Key 2147483648 of CFGPROPC does not fit a 32-bit integer" + kOn,
                    "Process Aborted"},
       .passesCaptions = "1",
       .whatHappen = {"Synching Location :Shelf A Container : Bin 1 Container ID : 10"},
       .progress = "=0 max3 step1 +1 W =0"},
  };
  return scenarios;
}

// Test listings name a scenario instead of dumping its bytes.
void PrintTo(const Scenario& AScenario, std::ostream* AOut) {
  *AOut << AScenario.name;
}

class SynchScenarioTest : public ::testing::TestWithParam<Scenario>, protected SynchFixture {};

TEST_P(SynchScenarioTest, FlagsLogMessagesCaptionsAndProgress) {
  const Scenario& scenario = GetParam();
  for (const std::string& row : scenario.rows) FSetup.Exec(row);
  RecordingView view;
  if (!scenario.interruptAt.empty()) {
    view.OnWhatHappen(scenario.interruptAt, [&] { FSetup.Exec(scenario.interruptSql); });
  }
  for (int pass = 0; pass < scenario.passes; ++pass) RunPass(view);

  EXPECT_EQ(LocationFlags(), scenario.locationFlags);
  EXPECT_EQ(ContainerFlags(), scenario.containerFlags);
  std::string log;
  for (int pass = 0; pass < scenario.passes; ++pass) log += Lines(scenario.log);
  EXPECT_EQ(view.Log(), log);
  EXPECT_THAT(view.Messages(), ElementsAreArray(scenario.messages));
  EXPECT_EQ(view.Passes(), scenario.passesCaptions);
  EXPECT_THAT(view.WhatHappen(), ElementsAreArray(scenario.whatHappen));
  EXPECT_THAT(view.UnpaintedCaptions(), IsEmpty());
  EXPECT_EQ(view.Progress(), scenario.progress);
  EXPECT_FALSE(FComponents.qryGeneric->Active());
}

INSTANTIATE_TEST_SUITE_P(Pass, SynchScenarioTest, ::testing::ValuesIn(Scenarios()),
                         [](const auto& AInfo) { return AInfo.param.name; });

}  // namespace
}  // namespace sync_test
