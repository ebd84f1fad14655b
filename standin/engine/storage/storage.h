// How typed values are kept in SQLite: the canonical value of sql_value.h,
// except that exact numbers (decimal, money) are kept as SQLite numbers so
// that they compare and add as numbers.
#pragma once

#include "sql_value.h"

namespace standin::engine {

// The SQLite value that stores `value` of type `type`.
Value ToStorage(const Value& value, const SqlType& type);

// The canonical value of `type` for what SQLite returned: char(n) padded,
// decimals formatted with their scale, bits as 0 or 1, and so on.
Value FromStorage(const Value& stored, const SqlType& type);

}  // namespace standin::engine
