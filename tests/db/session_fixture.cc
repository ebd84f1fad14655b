#include "session_fixture.h"

#include "db/values/variant.h"

namespace session_test {

std::unique_ptr<TMSConnection> SessionFixture::NewConnection(const std::string& AName) {
  auto connection = std::make_unique<TMSConnection>(nullptr);
  connection->SetName(AName);
  connection->SetServer("127.0.0.1");
  connection->SetPort(FServer.port());
  return connection;
}

odbc::TResultSet SessionFixture::Query(TMSConnection& AConnection, const std::string& ASql,
                                       const std::vector<odbc::TParamValue>& AParams) {
  odbc::Command command(AConnection.Session(), &AConnection);
  if (!command.Execute(ASql, AParams)) return {};
  return command.ReadResult(25);
}

std::string SessionFixture::Scalar(TMSConnection& AConnection, const std::string& ASql) {
  const TVariant value = Query(AConnection, ASql).Rows.at(0).at(0);
  if (value.Is<std::int32_t>()) return std::to_string(value.As<std::int32_t>());
  return value.IsNull() ? "NULL" : value.As<std::string>();
}

int SessionFixture::Spid(TMSConnection& AConnection) {
  return std::stoi(Scalar(AConnection, "SELECT @@SPID"));
}

std::vector<std::string> SessionFixture::Requests(int ASpid) const {
  const std::string prefix = "spid=" + std::to_string(ASpid) + " ";
  std::vector<std::string> requests;
  for (const std::string& line : FServer.traceLines()) {
    if (line.rfind(prefix, 0) == 0) requests.push_back(line.substr(prefix.size()));
  }
  return requests;
}

}  // namespace session_test
