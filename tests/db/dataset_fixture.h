// A private stand-in holding the property-room tables, a TMSConnection to it
// given its settings one by one, and the requests the server received.
#pragma once

#include <string>
#include <vector>

#include "db/sqlserver/connection.h"
#include "odbc_test_connection.h"
#include "standin_server.h"

namespace dataset_test {

class DatasetFixture {
 protected:
  // CFGPROPL holds locations 1 "A1", 2 "B2" and 3 "C3" (LOCKEY bigint
  // identity key); CFGPROPC holds containers "Bin 1" and "Bin 2" of location
  // 1 and "Bin 3" of location 2 (LOCKEY int, CONTAINERID bigint identity key).
  DatasetFixture();

  // Every request the server received so far, one per line.
  std::vector<std::string> Requests() const { return FServer.traceLines(); }
  // The requests received after the first `ASkip`.
  std::vector<std::string> RequestsAfter(std::size_t ASkip) const;
  // The server session of `FConnection` (connecting it when closed).
  int ConnectionSpid();

  standin_test::StandinServer FServer{{.trace = true}};
  standin_test::OdbcTestConnection FSetup{FServer.port()};
  TMSConnection FConnection{nullptr};
};

}  // namespace dataset_test
