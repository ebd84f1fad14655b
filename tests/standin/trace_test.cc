// The trace file: one line per request, naming the session, so that a test
// or a person can see what a client really sent.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "odbc_test_connection.h"
#include "standin_server.h"
#include "tsql_runner.h"

namespace standin_test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class TraceTest : public ::testing::Test {
 protected:
  StandinServer server_{StandinOptions{.trace = true}};
};

TEST_F(TraceTest, RecordsEachBatchOnOneLineWithItsSession) {
  OdbcTestConnection connection(server_.port());
  const int spid = connection.Spid();
  connection.Exec("SELECT 'trace me'\r\nSELECT 2");
  EXPECT_THAT(server_.traceLines(),
              Contains("spid=" + std::to_string(spid) + " batch: SELECT 'trace me'\\r\\nSELECT 2"));
}

TEST_F(TraceTest, RecordsProcedureCallsWithTheirParameters) {
  OdbcTestConnection connection(server_.port());
  const int spid = connection.Spid();
  connection.Exec("SELECT ? AS a, ? AS b", {SqlParam::Int(5), SqlParam::VarChar("O'Brien")});
  const std::vector<std::string> lines = server_.traceLines();
  const auto rpc = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find(" rpc sp_executesql: ") != std::string::npos;
  });
  ASSERT_NE(rpc, lines.end());
  EXPECT_THAT(*rpc, StartsWith("spid=" + std::to_string(spid) + " rpc sp_executesql: @stmt="));
  EXPECT_THAT(*rpc, HasSubstr("SELECT @P1 AS a, @P2 AS b"));
  EXPECT_THAT(*rpc, HasSubstr("@P1 int=5"));
}

TEST_F(TraceTest, KeepsRequestsInOrderAcrossSessionsAndRestarts) {
  {
    OdbcTestConnection connection(server_.port());
    connection.Exec("SELECT 'first'");
  }
  server_.restart();
  EXPECT_EQ(RunTsql(server_.port(), {"SELECT 'second'"}).exit_code, 0);

  const std::vector<std::string> lines = server_.traceLines();
  const auto first = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find("batch: SELECT 'first'") != std::string::npos;
  });
  const auto second = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find("batch: SELECT 'second'") != std::string::npos;
  });
  EXPECT_NE(first, lines.end());
  EXPECT_NE(second, lines.end());
  EXPECT_LT(first, second);
}

}  // namespace
}  // namespace standin_test
