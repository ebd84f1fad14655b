// The trace's line format, which tests and people read.
#include "trace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace standin::server {
namespace {

Param P(std::string name, TypeId id, Value value, std::int32_t length = 0) {
  Param p;
  p.name = std::move(name);
  p.type.id = id;
  p.type.length = length;
  p.value = std::move(value);
  return p;
}

class TraceTest : public ::testing::Test {
 protected:
  std::vector<std::string> Lines() {
    std::ifstream in(path_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  void TearDown() override { std::filesystem::remove(path_); }

  std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                ("standin-trace-" + std::to_string(::getpid()) + ".log");
};

TEST_F(TraceTest, WritesEachRequestOnOneLine) {
  Trace trace(path_);
  trace.Batch(52, "SELECT 1\r\nSELECT 'a'");
  trace.TransactionRequest(53, "BEGIN TRANSACTION");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"spid=52 batch: SELECT 1\\r\\nSELECT 'a'",
                                               "spid=53 tm: BEGIN TRANSACTION"}));
}

TEST_F(TraceTest, NamesPositionalArgumentsOfThePreparedStatementProcedures) {
  Trace trace(path_);
  Param amount = P("", TypeId::Decimal, std::string("1.50"));
  amount.type.precision = 10;
  amount.type.scale = 2;
  Param handle = P("", TypeId::Int, Value{});
  handle.output = true;
  trace.Rpc(52, "sp_prepexec",
            {handle, P("", TypeId::NVarChar, std::string("@P1 DECIMAL(10,2),@P2 VARCHAR(5)"), 4000),
             P("", TypeId::NVarChar, std::string("SELECT @P1, @P2"), 4000), amount,
             P("", TypeId::VarChar, std::string("O'B"), 5)});
  trace.Rpc(52, "sp_execute",
            {P("", TypeId::Int, std::int64_t{1}), P("", TypeId::VarBinary, Bytes{0xAB, 1}, 2)});
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            "spid=52 rpc sp_prepexec: @handle int=NULL output @params=N'@P1 DECIMAL(10,2),@P2 "
            "VARCHAR(5)' "
            "@stmt=N'SELECT @P1, @P2' @P1 decimal(10,2)=1.50 @P2 varchar(5)='O''B'");
  EXPECT_EQ(lines[1], "spid=52 rpc sp_execute: @handle int=1 @? varbinary(2)=0xAB01");
}

TEST_F(TraceTest, WritesNothingWithoutAFile) {
  Trace trace("");
  trace.Batch(52, "SELECT 1");
  EXPECT_FALSE(std::filesystem::exists(path_));
}

}  // namespace
}  // namespace standin::server
