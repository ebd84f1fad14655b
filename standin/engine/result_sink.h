// Where the engine streams the outcome of a request, in the order the client
// must see it. The protocol layer implements it by writing TDS tokens.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "server_message.h"
#include "sql_value.h"

namespace standin {

// What ends one statement (DONE, or DONEINPROC inside a procedure call).
struct StatementDone {
  bool has_count = false;  // the statement affected or returned rows it counts
  std::int64_t count = 0;
  bool error = false;      // the statement failed
  bool cancelled = false;  // an ATTENTION cut the request short here: nothing of it follows
};

class ResultSink {
 public:
  virtual ~ResultSink() = default;

  // Starts a result set; row() calls for it follow.
  virtual void Columns(const std::vector<Column>& columns) = 0;
  // One row of the current result set, one value per column, in column order.
  virtual void Row(const std::vector<Value>& values) = 0;
  // Ends one statement (with or without a result set).
  virtual void Done(const StatementDone& done) = 0;
  // An error or informational message, in order with the results around it.
  virtual void Message(const ServerMessage& message) = 0;
  // The session's current database changed (USE): an ENVCHANGE and its INFO 5701.
  virtual void DatabaseChanged(const std::string& old_name, const std::string& new_name) = 0;
  // The return status of a procedure call (RPC), sent before its DONEPROC.
  virtual void ReturnStatus(std::int32_t status) = 0;
  // The value of an output parameter of a procedure call.
  virtual void ReturnValue(const Param& param) = 0;
};

}  // namespace standin
