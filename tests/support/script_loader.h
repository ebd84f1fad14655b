// Runs a T-SQL script made of batches separated by GO lines, as the SQL
// Server tools do.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "odbc_test_connection.h"

namespace standin_test {

// The batches of `script`: the text between lines that hold only "GO" (any
// case, surrounding blanks allowed); blank batches are dropped.
std::vector<std::string> SplitBatches(std::string_view script);

// Runs each batch of `script` on `connection` in order. Throws OdbcError from
// the first failing batch, its message prefixed with the batch's first line.
void LoadScript(OdbcTestConnection& connection, std::string_view script);

}  // namespace standin_test
