// A private stand-in with its trace, and connections to it made the way the
// program makes them: a TMSConnection given its settings one by one.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/odbc/command.h"
#include "db/sqlserver/connection.h"
#include "standin_server.h"

namespace session_test {

class SessionFixture {
 public:
  explicit SessionFixture(standin_test::StandinOptions AOptions = {.trace = true})
      : FServer(std::move(AOptions)) {}

  standin_test::StandinServer& Server() { return FServer; }

  // A closed connection named `AName` (empty: unnamed) to the stand-in.
  std::unique_ptr<TMSConnection> NewConnection(const std::string& AName = "");

  // The whole result of `ASql` run on `AConnection`'s session.
  static odbc::TResultSet Query(TMSConnection& AConnection, const std::string& ASql,
                                const std::vector<odbc::TParamValue>& AParams = {});
  // The first value of `ASql`'s result, as text.
  static std::string Scalar(TMSConnection& AConnection, const std::string& ASql);
  // The server's session id of `AConnection`.
  static int Spid(TMSConnection& AConnection);

  // The traced requests of session `ASpid`, without the "spid=N " prefix.
  std::vector<std::string> Requests(int ASpid) const;

 private:
  standin_test::StandinServer FServer;
};

}  // namespace session_test
