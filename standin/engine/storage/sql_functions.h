// The collation and functions the generated SQLite SQL calls: TSQLCI
// (SQL_Latin1_General_CP1_CI_AS comparisons) and tsql_* functions that
// convert, divide and match as SQL Server does.
#pragma once

#include <sqlite3.h>

#include <optional>

#include "errors.h"
#include "values/datetime.h"

namespace standin::engine {

// What the functions of one connection need from its session.
struct FunctionContext {
  DateOrder date_order = DateOrder::Mdy;
  // The SQL Server error a function raised during the last step; SQLite
  // only sees a generic failure.
  std::optional<SqlError> pending_error;
};

// Registers the collation and functions on `db`; `context` must outlive it.
void RegisterFunctions(sqlite3* db, FunctionContext* context);
// The date functions, registered by RegisterFunctions.
void RegisterDateFunctions(sqlite3* db, FunctionContext* context);

}  // namespace standin::engine
