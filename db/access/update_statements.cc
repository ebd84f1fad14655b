#include "db/access/update_statements.h"

#include "db/access/sql_names.h"

namespace {

// Adds a marker for `AValue` of `AColumn`'s type and returns it.
std::string AddParam(TGeneratedStatement& AStatement, const odbc::TColumnInfo& AColumn,
                     const TVariant& AValue) {
  AStatement.Params.push_back({AColumn.DataType, ptInput, AValue});
  return ":P" + std::to_string(AStatement.Params.size());
}

std::string KeyCondition(TGeneratedStatement& AStatement, const TRowTarget& ATarget,
                         const std::vector<TVariant>& ARow) {
  std::string condition;
  for (int key : ATarget.KeyColumns) {
    if (!condition.empty()) condition += " AND ";
    const odbc::TColumnInfo& column = ATarget.Columns.at(key);
    condition += BracketName(column.Name);
    if (ARow.at(key).IsNull()) {
      condition += " IS NULL";
    } else {
      condition += " = " + AddParam(AStatement, column, ARow.at(key));
    }
  }
  return condition;
}

}  // namespace

TGeneratedStatement SelectRowStatement(const TRowTarget& ATarget,
                                       const std::vector<TVariant>& ARow) {
  TGeneratedStatement statement;
  const std::string where = KeyCondition(statement, ATarget, ARow);
  statement.Text = "SELECT * FROM " + QuoteName(ATarget.Table, true) + " WHERE " + where;
  return statement;
}

TGeneratedStatement UpdateRowStatement(const TRowTarget& ATarget,
                                       const std::vector<TVariant>& AOldRow,
                                       const std::vector<TVariant>& ANewRow) {
  TGeneratedStatement statement;
  std::string assignments;
  for (std::size_t i = 0; i < ATarget.Columns.size(); ++i) {
    if (AOldRow.at(i) == ANewRow.at(i)) continue;
    if (!assignments.empty()) assignments += ", ";
    assignments += BracketName(ATarget.Columns[i].Name) + " = " +
                   AddParam(statement, ATarget.Columns[i], ANewRow[i]);
  }
  if (assignments.empty()) return {};
  const std::string where = KeyCondition(statement, ATarget, AOldRow);
  statement.Text =
      "UPDATE " + QuoteName(ATarget.Table, true) + " SET " + assignments + " WHERE " + where;
  return statement;
}

TGeneratedStatement InsertRowStatement(const TRowTarget& ATarget,
                                       const std::vector<TVariant>& ARow) {
  TGeneratedStatement statement;
  std::string columns;
  std::string values;
  for (std::size_t i = 0; i < ATarget.Columns.size(); ++i) {
    if (ARow.at(i).IsNull()) continue;
    if (!columns.empty()) {
      columns += ", ";
      values += ", ";
    }
    columns += BracketName(ATarget.Columns[i].Name);
    values += AddParam(statement, ATarget.Columns[i], ARow[i]);
  }
  statement.Text =
      "INSERT INTO " + QuoteName(ATarget.Table, true) +
      (columns.empty() ? " DEFAULT VALUES" : " (" + columns + ") VALUES (" + values + ")");
  return statement;
}

TGeneratedStatement DeleteRowStatement(const TRowTarget& ATarget,
                                       const std::vector<TVariant>& ARow) {
  TGeneratedStatement statement;
  const std::string where = KeyCondition(statement, ATarget, ARow);
  statement.Text = "DELETE FROM " + QuoteName(ATarget.Table, true) + " WHERE " + where;
  return statement;
}
