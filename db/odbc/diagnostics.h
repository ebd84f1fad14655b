// Turns the diagnostic records of a failed ODBC call into the layer's errors.
#pragma once

#include <vector>

#include "core/component.h"
#include "db/errors/client_errors.h"
#include "db/odbc/sql_api.h"

namespace odbc {

// The result code that errors from the ODBC border carry. ODBC reports no
// finer outcome than failure, so it is E_FAIL, the generic COM failure.
inline constexpr int kCallFailed = static_cast<int>(0x80004005u);

// The diagnostic records of `AHandle` (of type `AHandleType`), in the order
// the driver ranks them, with the SQL Server fields the driver offers.
std::vector<TErrorRecord> ReadDiagnostics(SQLSMALLINT AHandleType, SQLHANDLE AHandle);

// Throws the failure recorded on `AHandle`, raised for `AComponent` (may be
// null): EMSError when a record comes from SQL Server, EOLEDBError otherwise.
[[noreturn]] void RaiseDiagnostics(SQLSMALLINT AHandleType, SQLHANDLE AHandle,
                                   TComponent* AComponent);

// Returns `AResult` when it is SQL_SUCCESS, SQL_SUCCESS_WITH_INFO or
// SQL_NO_DATA; otherwise raises as RaiseDiagnostics() does.
SQLRETURN Check(SQLRETURN AResult, SQLSMALLINT AHandleType, SQLHANDLE AHandle,
                TComponent* AComponent);

// As Check() for running a statement on `AStatement` of the session
// `AConnection`: when the driver's own failure has left the session dead
// (the server went away), the EOLEDBError's message is "The connection to
// the server was lost." followed, on the next line, by the driver's text.
SQLRETURN CheckExecution(SQLRETURN AResult, SQLHSTMT AStatement, SQLHDBC AConnection,
                         TComponent* AComponent);

}  // namespace odbc
