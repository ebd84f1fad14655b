// The statements a dataset generates to re-read, change, add and remove one
// row of its table, the row found by the values of its key columns. Names
// are always enclosed in brackets; values travel as parameters :P1, :P2 ...
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/odbc/command.h"
#include "db/values/variant.h"

struct TGeneratedStatement {
  std::string Text;                       // empty: nothing to send
  std::vector<odbc::TParamValue> Params;  // one per marker, in order
};

// What the statements are about: the table, its result columns and the
// indices of the key columns among them.
struct TRowTarget {
  std::string_view Table;
  const std::vector<odbc::TColumnInfo>& Columns;
  const std::vector<int>& KeyColumns;
};

// "SELECT * FROM table WHERE key condition" for `ARow`.
TGeneratedStatement SelectRowStatement(const TRowTarget& ATarget,
                                       const std::vector<TVariant>& ARow);
// "UPDATE table SET ... WHERE key condition" setting the columns whose value
// differs between `AOldRow` and `ANewRow`, the row found by `AOldRow`'s keys;
// empty when nothing differs.
TGeneratedStatement UpdateRowStatement(const TRowTarget& ATarget,
                                       const std::vector<TVariant>& AOldRow,
                                       const std::vector<TVariant>& ANewRow);
// "INSERT INTO table (...) VALUES (...)" of the non-null columns of `ARow`
// ("DEFAULT VALUES" when all are null).
TGeneratedStatement InsertRowStatement(const TRowTarget& ATarget,
                                       const std::vector<TVariant>& ARow);
// "DELETE FROM table WHERE key condition" for `ARow`.
TGeneratedStatement DeleteRowStatement(const TRowTarget& ATarget,
                                       const std::vector<TVariant>& ARow);
