#include "synch_fixture.h"

#include "jail_schema.h"
#include "sync/set_based_pass.h"
#include "sync/synch_pass.h"
#include "sync/whole_table.h"

namespace sync_test {

namespace {

std::string Flags(standin_test::OdbcTestConnection& AConnection, const std::string& ASql) {
  std::string flags;
  for (const standin_test::Row& row : AConnection.Query(ASql).rows) {
    if (!flags.empty()) flags += ' ';
    flags += *row[0] + ":" + row[1].value_or("-");
  }
  return flags;
}

}  // namespace

SynchFixture::SynchFixture() {
  FSetup.Exec("CREATE DATABASE JAIL");
  FSetup.Exec("USE JAIL");
  FSetup.Exec(
      "CREATE TABLE CFGPROPL (LOCATIONCODE varchar(5), LOCATION varchar(30), ALLOW int, "
      "ONLOC int, AVAILABLE bit, LOCKEY bigint NOT NULL PRIMARY KEY)");
  FSetup.Exec(
      "CREATE TABLE CFGPROPC (LOCKEY int, LOCATIONCODE varchar(5), CONTAINER varchar(30), "
      "AVAILABLE bit, CONTAINERID bigint NOT NULL PRIMARY KEY)");
  for (const char* table : {"WARDERLY", "WRIPROP", "WRPITEMS"}) {
    FSetup.Exec(jailgen::CreateTableSql(jailgen::Table(table)));
  }
  standin_test::CreateSiteDatabase(FServer.port());
  FComponents = RestoreMainForm(&FWindow, FSite);
}

void SynchFixture::RunPass(RecordingView& AView) {
  GoSynchPropertyLocations(AView, *FComponents.tblCFGPropertyLocation,
                           *FComponents.tblCFGPropertyContainers, *FComponents.qryGeneric);
}

TFlagDrift SynchFixture::RunSetBasedPass(RecordingView& AView, TFlagWrites AWrites) {
  const auto containers =
      MakeWholeTable(*FComponents.dbJail, PropertyTableDeclaration("tblCFGPropertyContainers"));
  return GoSynchPropertyLocationsSetBased(AView, *FComponents.tblCFGPropertyLocation, *containers,
                                          *FComponents.qryGeneric, AWrites);
}

void SynchFixture::RestoreComponents() {
  FWindow.DestroyComponents();
  FComponents = RestoreMainForm(&FWindow, FSite);
}

std::string SynchFixture::LocationFlags() {
  return Flags(FSetup, "SELECT LOCKEY, AVAILABLE FROM CFGPROPL ORDER BY LOCKEY");
}

std::string SynchFixture::ContainerFlags() {
  return Flags(FSetup, "SELECT CONTAINERID, AVAILABLE FROM CFGPROPC ORDER BY CONTAINERID");
}

std::vector<std::string> SynchFixture::PassRequests() {
  const int setupSpid = FSetup.Spid();
  const std::string setupPrefix = "spid=" + std::to_string(setupSpid) + " ";
  std::vector<std::string> requests;
  for (const std::string& line : FServer.traceLines()) {
    if (line.starts_with(setupPrefix)) continue;
    if (line.find("ConnectLib") != std::string::npos) {
      requests.clear();
      continue;
    }
    requests.push_back(line.substr(line.find(' ') + 1));
  }
  return requests;
}

}  // namespace sync_test
