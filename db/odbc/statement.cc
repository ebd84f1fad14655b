#include "db/odbc/statement.h"

#include <algorithm>
#include <vector>

#include "core/exception.h"
#include "db/odbc/diagnostics.h"
#include "db/odbc/sql_api.h"
#include "db/odbc/wide_text.h"

namespace odbc {

Statement::Statement(Connection& AConnection)
    : FHandle(SQL_HANDLE_DBC, AConnection.get(), AConnection.Component()),
      FConnection(&AConnection),
      FComponent(AConnection.Component()) {
  FConnection->FStatements.push_back(this);
}

Statement::~Statement() {
  if (FConnection == nullptr) return;
  std::vector<Statement*>& list = FConnection->FStatements;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void Statement::ExecDirect(std::string_view ASql) {
  std::vector<SQLWCHAR> text = ToSqlWide(ASql);
  const SQLHSTMT handle = Live();
  CheckExecution(SQLExecDirectW(handle, text.data(), SQL_NTS), handle, FConnection->get(),
                 FComponent);
}

void Statement::Orphan() {
  FHandle.Free();
  FConnection = nullptr;
}

SQLHSTMT Statement::Live() const {
  if (FConnection == nullptr) throw Exception("Connection is not connected");
  return get();
}

}  // namespace odbc
