#include "odbc_statement.h"

#include <algorithm>

namespace standin_test {
namespace {

constexpr SQLLEN kChunk = 4096;

bool SameShape(const std::vector<SqlParam>& bound, const std::vector<SqlParam>& next) {
  if (bound.empty() || bound.size() != next.size()) return false;
  for (std::size_t i = 0; i < bound.size(); ++i) {
    const SqlParam& a = bound[i];
    const SqlParam& b = next[i];
    if (a.c_type != b.c_type || a.sql_type != b.sql_type || a.column_size != b.column_size ||
        a.decimal_digits != b.decimal_digits || a.data.size() != b.data.size()) {
      return false;
    }
  }
  return true;
}

}  // namespace

OdbcStatement::OdbcStatement(SQLHDBC connection) : handle_(connection) {}

SQLRETURN OdbcStatement::CheckRc(SQLRETURN rc, const char* call) {
  return Check(rc, SQL_HANDLE_STMT, handle_.get(), call);
}

void OdbcStatement::Bind(std::vector<SqlParam> params) {
  SQLFreeStmt(handle_.get(), SQL_CLOSE);
  // Values of the same shape go into the buffers already bound, as a program
  // re-running a prepared statement does: binding again makes the driver
  // prepare the statement anew.
  if (SameShape(params_, params)) {
    for (std::size_t i = 0; i < params.size(); ++i) {
      std::copy(params[i].data.begin(), params[i].data.end(), params_[i].data.begin());
      params_[i].indicator = params[i].indicator;
    }
    return;
  }
  SQLFreeStmt(handle_.get(), SQL_RESET_PARAMS);
  params_ = std::move(params);
  for (std::size_t i = 0; i < params_.size(); ++i) {
    SqlParam& p = params_[i];
    CheckRc(SQLBindParameter(handle_.get(), static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT,
                             p.c_type, p.sql_type, p.column_size, p.decimal_digits, p.data.data(),
                             static_cast<SQLLEN>(p.data.size()), &p.indicator),
            "SQLBindParameter");
  }
}

void OdbcStatement::ExecDirect(std::string_view sql, std::vector<SqlParam> params) {
  Bind(std::move(params));
  const std::string text(sql);
  CheckRc(SQLExecDirect(handle_.get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str())),
                        SQL_NTS),
          "SQLExecDirect");
}

void OdbcStatement::Prepare(std::string_view sql) {
  SQLFreeStmt(handle_.get(), SQL_CLOSE);
  const std::string text(sql);
  CheckRc(SQLPrepare(handle_.get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str())),
                     SQL_NTS),
          "SQLPrepare");
}

void OdbcStatement::Execute(std::vector<SqlParam> params) {
  Bind(std::move(params));
  CheckRc(SQLExecute(handle_.get()), "SQLExecute");
}

namespace {

SQLCHAR* Chars(std::string& text) {
  return reinterpret_cast<SQLCHAR*>(text.data());
}

}  // namespace

void OdbcStatement::Tables(std::string_view table) {
  SQLFreeStmt(handle_.get(), SQL_CLOSE);
  std::string name(table);
  CheckRc(SQLTables(handle_.get(), nullptr, 0, nullptr, 0, Chars(name), SQL_NTS, nullptr, 0),
          "SQLTables");
}

void OdbcStatement::TableColumns(std::string_view table) {
  SQLFreeStmt(handle_.get(), SQL_CLOSE);
  std::string name(table);
  CheckRc(SQLColumns(handle_.get(), nullptr, 0, nullptr, 0, Chars(name), SQL_NTS, nullptr, 0),
          "SQLColumns");
}

void OdbcStatement::PrimaryKeys(std::string_view table) {
  SQLFreeStmt(handle_.get(), SQL_CLOSE);
  std::string name(table);
  CheckRc(SQLPrimaryKeys(handle_.get(), nullptr, 0, nullptr, 0, Chars(name), SQL_NTS),
          "SQLPrimaryKeys");
}

void OdbcStatement::Statistics(std::string_view table) {
  SQLFreeStmt(handle_.get(), SQL_CLOSE);
  std::string name(table);
  CheckRc(SQLStatistics(handle_.get(), nullptr, 0, nullptr, 0, Chars(name), SQL_NTS, SQL_INDEX_ALL,
                        SQL_QUICK),
          "SQLStatistics");
}

void OdbcStatement::BestRowId(std::string_view table) {
  SQLFreeStmt(handle_.get(), SQL_CLOSE);
  std::string name(table);
  CheckRc(SQLSpecialColumns(handle_.get(), SQL_BEST_ROWID, nullptr, 0, nullptr, 0, Chars(name),
                            SQL_NTS, SQL_SCOPE_SESSION, SQL_NULLABLE),
          "SQLSpecialColumns");
}

std::vector<ColumnInfo> OdbcStatement::Columns() {
  SQLSMALLINT count = 0;
  CheckRc(SQLNumResultCols(handle_.get(), &count), "SQLNumResultCols");
  std::vector<ColumnInfo> columns;
  for (SQLUSMALLINT i = 1; i <= count; ++i) {
    SQLCHAR name[256] = {};
    SQLSMALLINT name_length = 0, nullable = 0;
    ColumnInfo column;
    CheckRc(SQLDescribeCol(handle_.get(), i, name, sizeof name, &name_length, &column.sql_type,
                           &column.size, &column.decimal_digits, &nullable),
            "SQLDescribeCol");
    column.name = reinterpret_cast<char*>(name);
    column.nullable = nullable == SQL_NULLABLE;
    columns.push_back(column);
  }
  return columns;
}

bool OdbcStatement::Fetch() {
  return CheckRc(SQLFetch(handle_.get()), "SQLFetch") != SQL_NO_DATA;
}

std::optional<std::string> OdbcStatement::Text(int column) {
  std::string value;
  for (;;) {
    char buffer[kChunk];
    SQLLEN length = 0;
    const SQLRETURN rc = CheckRc(SQLGetData(handle_.get(), static_cast<SQLUSMALLINT>(column),
                                            SQL_C_CHAR, buffer, sizeof buffer, &length),
                                 "SQLGetData");
    if (rc == SQL_NO_DATA) break;
    if (length == SQL_NULL_DATA) return std::nullopt;
    const bool partial = length == SQL_NO_TOTAL || length >= kChunk;
    value.append(buffer, partial ? kChunk - 1 : length);
    if (!partial) break;
  }
  return value;
}

std::optional<std::vector<unsigned char>> OdbcStatement::Binary(int column) {
  std::vector<unsigned char> value;
  for (;;) {
    unsigned char buffer[kChunk];
    SQLLEN length = 0;
    const SQLRETURN rc = CheckRc(SQLGetData(handle_.get(), static_cast<SQLUSMALLINT>(column),
                                            SQL_C_BINARY, buffer, sizeof buffer, &length),
                                 "SQLGetData");
    if (rc == SQL_NO_DATA) break;
    if (length == SQL_NULL_DATA) return std::nullopt;
    const bool partial = length == SQL_NO_TOTAL || length > kChunk;
    value.insert(value.end(), buffer, buffer + (partial ? kChunk : length));
    if (!partial) break;
  }
  return value;
}

std::optional<std::int64_t> OdbcStatement::Int(int column) {
  SQLBIGINT value = 0;
  SQLLEN length = 0;
  CheckRc(SQLGetData(handle_.get(), static_cast<SQLUSMALLINT>(column), SQL_C_SBIGINT, &value,
                     sizeof value, &length),
          "SQLGetData");
  if (length == SQL_NULL_DATA) return std::nullopt;
  return value;
}

std::optional<double> OdbcStatement::Double(int column) {
  double value = 0;
  SQLLEN length = 0;
  CheckRc(SQLGetData(handle_.get(), static_cast<SQLUSMALLINT>(column), SQL_C_DOUBLE, &value,
                     sizeof value, &length),
          "SQLGetData");
  if (length == SQL_NULL_DATA) return std::nullopt;
  return value;
}

ResultSet OdbcStatement::FetchAll() {
  ResultSet result;
  result.columns = Columns();
  while (!result.columns.empty() && Fetch()) {
    Row row;
    for (std::size_t i = 1; i <= result.columns.size(); ++i)
      row.push_back(Text(static_cast<int>(i)));
    result.rows.push_back(std::move(row));
  }
  return result;
}

bool OdbcStatement::MoreResults() {
  return CheckRc(SQLMoreResults(handle_.get()), "SQLMoreResults") != SQL_NO_DATA;
}

std::int64_t OdbcStatement::RowCount() {
  SQLLEN count = 0;
  CheckRc(SQLRowCount(handle_.get(), &count), "SQLRowCount");
  return count;
}

std::vector<ResultSet> OdbcStatement::AllResults() {
  std::vector<ResultSet> results;
  do {
    ResultSet result = FetchAll();
    if (!result.columns.empty()) results.push_back(std::move(result));
  } while (MoreResults());
  return results;
}

void OdbcStatement::Close() {
  CheckRc(SQLFreeStmt(handle_.get(), SQL_CLOSE), "SQLFreeStmt");
}

void OdbcStatement::SetQueryTimeout(int seconds) {
  CheckRc(SQLSetStmtAttr(handle_.get(), SQL_ATTR_QUERY_TIMEOUT,
                         reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(seconds)), 0),
          "SQLSetStmtAttr");
}

void OdbcStatement::Cancel() {
  CheckRc(SQLCancel(handle_.get()), "SQLCancel");
}

}  // namespace standin_test
