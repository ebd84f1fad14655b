// One ODBC statement handle with the calls tests make on it. Every failure
// throws OdbcError.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/odbc/sql_api.h"
#include "odbc_handle.h"
#include "sql_param.h"

namespace standin_test {

// A result column as SQLDescribeCol reports it.
struct ColumnInfo {
  std::string name;
  SQLSMALLINT sql_type = 0;  // SQL_INTEGER, SQL_WVARCHAR, ...
  SQLULEN size = 0;
  SQLSMALLINT decimal_digits = 0;
  bool nullable = false;
};

using Cell = std::optional<std::string>;  // nullopt for NULL
using Row = std::vector<Cell>;

struct ResultSet {
  std::vector<ColumnInfo> columns;
  std::vector<Row> rows;
};

class OdbcStatement {
 public:
  explicit OdbcStatement(SQLHDBC connection);

  // Runs `sql` with `params` bound to its markers, closing any earlier cursor.
  void ExecDirect(std::string_view sql, std::vector<SqlParam> params = {});
  // SQLPrepare; Execute() then runs it as often as needed. Parameters of the
  // same types and sizes as the last ones reuse the bound buffers, so the
  // driver keeps the statement prepared.
  void Prepare(std::string_view sql);
  void Execute(std::vector<SqlParam> params = {});

  // Catalog functions (the driver calls sp_tables, sp_columns, sp_pkeys,
  // sp_statistics, sp_special_columns) for one table of the current
  // database; their rows are read like a query's.
  void Tables(std::string_view table);
  void TableColumns(std::string_view table);
  void PrimaryKeys(std::string_view table);
  void Statistics(std::string_view table);  // all indexes
  void BestRowId(std::string_view table);   // SQLSpecialColumns(SQL_BEST_ROWID)

  // The current result set's columns; empty when the statement has none.
  std::vector<ColumnInfo> Columns();
  // Moves to the next row; false at the end of the result set.
  bool Fetch();
  // Column `column` (from 1) of the current row. Text() is UTF-8 (binary
  // comes as hex digits); each column can be read once per row.
  std::optional<std::string> Text(int column);
  std::optional<std::int64_t> Int(int column);
  std::optional<double> Double(int column);
  std::optional<std::vector<unsigned char>> Binary(int column);
  // The rest of the current result set, as text.
  ResultSet FetchAll();
  // Moves to the next result; false when there is none.
  bool MoreResults();
  // Rows the last statement affected (SQLRowCount).
  std::int64_t RowCount();
  // Every result set left in the request, reading through to its end.
  std::vector<ResultSet> AllResults();

  // Discards what is left of the request's results, so that another
  // statement can use the connection.
  void Close();

  // Seconds the driver lets a request run before cancelling it (0: no limit).
  void SetQueryTimeout(int seconds);

  // SQLCancel; may be called from another thread while this one waits.
  void Cancel();

  SQLHSTMT handle() const { return handle_.get(); }

 private:
  void Bind(std::vector<SqlParam> params);
  SQLRETURN CheckRc(SQLRETURN rc, const char* call);

  OdbcHandle<SQL_HANDLE_STMT> handle_;
  std::vector<SqlParam> params_;  // bound: must outlive execution
};

}  // namespace standin_test
