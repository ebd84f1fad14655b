// Reads a Transact-SQL batch into statements.
#pragma once

#include <string_view>
#include <vector>

#include "parse/ast.h"

namespace standin::engine {

// Parses a whole batch. Syntax errors (102, 156, 105, 103, ...) throw SqlError
// before anything runs, as SQL Server compiles a batch before executing it.
std::vector<Statement> ParseBatch(std::string_view sql, bool quoted_identifier);

// Parses a type as written in a declaration ("varchar(30)", "decimal(10,2)"),
// as in sp_executesql's parameter list; `column` numbers it for error 2715.
SqlType ParseTypeText(std::string_view text, int column);

}  // namespace standin::engine
