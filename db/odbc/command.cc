#include "db/odbc/command.h"

#include <algorithm>
#include <utility>

#include "core/exception.h"
#include "db/odbc/diagnostics.h"
#include "db/odbc/param_bindings.h"
#include "db/odbc/result_reader.h"
#include "db/odbc/sql_api.h"
#include "db/odbc/wide_text.h"

namespace odbc {

namespace {

// The handle of `AStatement`; Exception "Connection is not connected" once
// its session is gone.
SQLHSTMT Live(const Statement& AStatement) {
  if (AStatement.get() == SQL_NULL_HANDLE) throw Exception("Connection is not connected");
  return AStatement.get();
}

// A name part without its enclosing brackets or double quotes.
std::string Unquoted(std::string_view APart) {
  if (APart.size() >= 2 && ((APart.front() == '[' && APart.back() == ']') ||
                            (APart.front() == '"' && APart.back() == '"'))) {
    APart = APart.substr(1, APart.size() - 2);
  }
  return std::string(APart);
}

// "db.owner.name" split at the dots outside brackets and quotes.
std::vector<std::string> NameParts(std::string_view AName) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  char closing = 0;
  for (std::size_t i = 0; i < AName.size(); ++i) {
    const char c = AName[i];
    if (closing != 0) {
      if (c == closing) closing = 0;
    } else if (c == '[') {
      closing = ']';
    } else if (c == '"') {
      closing = '"';
    } else if (c == '.') {
      parts.push_back(Unquoted(AName.substr(start, i - start)));
      start = i + 1;
    }
  }
  parts.push_back(Unquoted(AName.substr(start)));
  return parts;
}

}  // namespace

Command::Command(Connection& ASession, TComponent* AComponent)
    : FSession(ASession),
      FComponent(AComponent),
      FBindings(std::make_unique<ParamBindings>()),
      FDirectBindings(std::make_unique<ParamBindings>()) {
  if (!ASession.Connected()) throw Exception("Connection is not connected");
  FStatement = std::make_unique<Statement>(ASession);
}

Command::~Command() = default;

void Command::Prepare(std::string_view ASql, const std::vector<TParamValue>& AParams) {
  Unprepare();
  const SQLHSTMT handle = Live(*FStatement);
  SQLFreeStmt(handle, SQL_CLOSE);
  const std::vector<SQLWCHAR> text = ToSqlWide(ASql);
  Check(SQLPrepareW(handle, const_cast<SQLWCHAR*>(text.data()), SQL_NTS), SQL_HANDLE_STMT, handle,
        FComponent);
  FBindings->Apply(handle, AParams, FComponent);
  FPreparedSql = std::string(ASql);
  FPrepared = true;
}

void Command::Unprepare() {
  if (!FPrepared) return;
  FPrepared = false;
  FPreparedSql.clear();
  FActive = nullptr;
  FDirect.reset();
  FDirectBindings->Forget();
  FBindings->Forget();
  // Freeing the handle is what makes the driver release the server's plan.
  if (FStatement->get() != SQL_NULL_HANDLE) FStatement = std::make_unique<Statement>(FSession);
}

bool Command::Prepared() const {
  return FPrepared;
}

Statement& Command::DirectStatement() {
  if (!FDirect) {
    Live(*FStatement);  // the session still exists
    FDirect = std::make_unique<Statement>(FSession);
  }
  return *FDirect;
}

bool Command::Execute(std::string_view ASql, const std::vector<TParamValue>& AParams) {
  const bool prepared = FPrepared && ASql == FPreparedSql;
  Statement& statement = prepared || !FPrepared ? *FStatement : DirectStatement();
  ParamBindings& bindings = &statement == FStatement.get() ? *FBindings : *FDirectBindings;
  const SQLHSTMT handle = Live(statement);
  FActive = nullptr;
  SQLFreeStmt(handle, SQL_CLOSE);
  try {
    bindings.Apply(handle, AParams, FComponent);
    if (prepared) {
      CheckExecution(SQLExecute(handle), handle, FSession.get(), FComponent);
    } else {
      const std::vector<SQLWCHAR> text = ToSqlWide(ASql);
      CheckExecution(SQLExecDirectW(handle, const_cast<SQLWCHAR*>(text.data()), SQL_NTS), handle,
                     FSession.get(), FComponent);
    }
    FActive = &statement;
    return SkipToRows(statement);
  } catch (...) {
    FActive = nullptr;
    if (statement.get() != SQL_NULL_HANDLE) SQLFreeStmt(statement.get(), SQL_CLOSE);
    throw;
  }
}

bool Command::SkipToRows(Statement& AStatement) {
  const SQLHSTMT handle = Live(AStatement);
  for (;;) {
    SQLSMALLINT columns = 0;
    Check(SQLNumResultCols(handle, &columns), SQL_HANDLE_STMT, handle, FComponent);
    if (columns > 0) return true;
    if (Check(SQLMoreResults(handle), SQL_HANDLE_STMT, handle, FComponent) == SQL_NO_DATA) {
      return false;
    }
  }
}

void Command::DiscardResults(Statement& AStatement) {
  const SQLHSTMT handle = Live(AStatement);
  // SQL_NO_DATA leaves the statement closed, ready for the next execution.
  while (Check(SQLMoreResults(handle), SQL_HANDLE_STMT, handle, FComponent) != SQL_NO_DATA) {
  }
}

TResultSet Command::ReadResult(int AFetchRows) {
  if (FActive == nullptr) throw Exception("Command has no result to read");
  Statement& statement = *FActive;
  try {
    const SQLHSTMT handle = Live(statement);
    TResultSet result;
    result.Columns = DescribeColumns(handle, FComponent);
    result.Rows = FetchAllRows(handle, result.Columns, AFetchRows, FComponent);
    DiscardResults(statement);
    return result;
  } catch (...) {
    FActive = nullptr;
    if (statement.get() != SQL_NULL_HANDLE) SQLFreeStmt(statement.get(), SQL_CLOSE);
    throw;
  }
}

std::vector<TVariant> Command::OutputValues() const {
  if (FActive == nullptr) return {};
  return (FActive == FStatement.get() ? *FBindings : *FDirectBindings).OutputValues();
}

std::vector<std::string> Command::PrimaryKeyColumns(std::string_view ATable) {
  Live(*FStatement);  // the session still exists
  Statement statement(FSession);
  const SQLHSTMT handle = statement.get();
  std::vector<std::string> parts = NameParts(ATable);
  while (parts.size() < 3) parts.insert(parts.begin(), std::string());
  std::vector<std::vector<SQLWCHAR>> wide;
  for (const std::string& part : parts) wide.push_back(ToSqlWide(part));
  auto name = [&](std::size_t i) { return parts[i].empty() ? nullptr : wide[i].data(); };
  Check(SQLPrimaryKeysW(handle, name(0), SQL_NTS, name(1), SQL_NTS, name(2), SQL_NTS),
        SQL_HANDLE_STMT, handle, FComponent);
  std::vector<std::pair<int, std::string>> keys;
  while (Check(SQLFetch(handle), SQL_HANDLE_STMT, handle, FComponent) != SQL_NO_DATA) {
    SQLWCHAR column[256] = {};
    SQLLEN column_bytes = 0;
    SQLSMALLINT sequence = 0;
    Check(SQLGetData(handle, 4, SQL_C_WCHAR, column, sizeof(column), &column_bytes),
          SQL_HANDLE_STMT, handle, FComponent);
    Check(SQLGetData(handle, 5, SQL_C_SSHORT, &sequence, 0, nullptr), SQL_HANDLE_STMT, handle,
          FComponent);
    keys.emplace_back(
        sequence, FromSqlWide(column, static_cast<std::size_t>(std::max<SQLLEN>(column_bytes, 0)) /
                                          sizeof(SQLWCHAR)));
  }
  std::sort(keys.begin(), keys.end());
  std::vector<std::string> columns;
  for (auto& key : keys) columns.push_back(std::move(key.second));
  return columns;
}

}  // namespace odbc
