// The request trace (--trace FILE): one line per request received, appended
// and flushed at once so tests can read it while the server runs.
//
//   spid=52 batch: SELECT 1
//   spid=52 rpc sp_executesql: @stmt=N'SELECT @P1' @params=N'@P1 int' @P1 int=5 @P2 varchar(10)='x'
//   spid=52 tm: BEGIN TRANSACTION
//
// Kinds: "batch" (SQL batch text), "rpc NAME" (procedure call; the name as sent
// or of the well-known procedure id) and "tm" (transaction manager request, as
// the T-SQL it stands for). Each parameter is written as NAME TYPE=VALUE, with
// TYPE its declared type (varchar(10), decimal(9,2), nvarchar(max)) and " output"
// after the value for output parameters; Unicode text values are written as
// N'...' literals and stand without a type. NULL is NULL, binary is 0x..., other
// values are T-SQL literals. CR and LF anywhere in a line appear as \r and \n.
// Positional arguments of sp_executesql, sp_prepare, sp_prepexec, sp_execute and
// sp_unprepare are shown under their declared names (@stmt, @params, @handle, and
// the statement's own parameters as @params declares them); others as @?.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string_view>
#include <vector>

#include "sql_value.h"

namespace standin::server {

class Trace {
 public:
  // A trace that writes nothing when `file` is empty. Throws std::runtime_error
  // if the file cannot be opened for appending.
  explicit Trace(const std::filesystem::path& file);

  // Safe to call from every session thread at once.
  void Batch(std::int32_t spid, std::string_view sql);
  void Rpc(std::int32_t spid, std::string_view procedure, const std::vector<Param>& params);
  void TransactionRequest(std::int32_t spid, std::string_view sql);

 private:
  void WriteLine(std::string line);

  std::mutex mutex_;
  std::ofstream out_;
};

// "NAME TYPE=VALUE" for one parameter, as the trace writes it.
std::string FormatParam(const Param& param);

}  // namespace standin::server
