#include "dataset_fixture.h"

#include "db/sqlserver/query.h"

namespace dataset_test {

DatasetFixture::DatasetFixture() {
  FSetup.Exec(
      "CREATE TABLE CFGPROPL (LOCATIONCODE varchar(5), LOCATION varchar(30), ALLOW int, "
      "ONLOC int, AVAILABLE bit, LOCKEY bigint IDENTITY(1,1) NOT NULL PRIMARY KEY)");
  FSetup.Exec(
      "CREATE TABLE CFGPROPC (LOCKEY int, LOCATIONCODE varchar(5), CONTAINER varchar(30), "
      "AVAILABLE bit, CONTAINERID bigint IDENTITY(1,1) NOT NULL PRIMARY KEY)");
  FSetup.Exec(
      "INSERT INTO CFGPROPL (LOCATIONCODE, LOCATION, ALLOW, ONLOC, AVAILABLE) VALUES "
      "('A1', 'Shelf A', 1, 0, 1), ('B2', 'Shelf B', 1, 0, 1), ('C3', 'Cage C', 1, 0, 0)");
  FSetup.Exec(
      "INSERT INTO CFGPROPC (LOCKEY, LOCATIONCODE, CONTAINER, AVAILABLE) VALUES "
      "(1, 'A1', 'Bin 1', 1), (1, 'A1', 'Bin 2', 0), (2, 'B2', 'Bin 3', 1)");
  FConnection.SetServer("127.0.0.1");
  FConnection.SetPort(FServer.port());
}

std::vector<std::string> DatasetFixture::RequestsAfter(std::size_t ASkip) const {
  std::vector<std::string> requests = Requests();
  requests.erase(requests.begin(), requests.begin() + std::min(ASkip, requests.size()));
  return requests;
}

int DatasetFixture::ConnectionSpid() {
  TMSQuery query(nullptr);
  query.SetConnection(&FConnection);
  query.SQL().Add("SELECT @@SPID AS spid");
  query.Open();
  return query.FieldByName("spid").AsInteger();
}

}  // namespace dataset_test
