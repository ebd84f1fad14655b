// Reading a statement's current result: its columns as the server describes
// them, and its rows to the end.
#pragma once

#include <vector>

#include "core/component.h"
#include "db/odbc/command.h"
#include "db/odbc/sql_api.h"

namespace odbc {

// The columns of the current result of `AStatement`, with the field types
// created fields get. Errors are raised for `AComponent`.
std::vector<TColumnInfo> DescribeColumns(SQLHSTMT AStatement, TComponent* AComponent);

// Reads every row of the current result, asking the driver for `AFetchRows`
// rows per call, and leaves the statement at the end of that result with no
// columns bound. Results with large-object columns are read a row at a time.
std::vector<std::vector<TVariant>> FetchAllRows(SQLHSTMT AStatement,
                                                const std::vector<TColumnInfo>& AColumns,
                                                int AFetchRows, TComponent* AComponent);

}  // namespace odbc
