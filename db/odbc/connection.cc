#include "db/odbc/connection.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <vector>

#include "db/odbc/statement.h"
#include "db/odbc/wide_text.h"

namespace odbc {

Connection::Connection(const Environment& AEnvironment, TComponent* AComponent)
    : FHandle(SQL_HANDLE_ENV, AEnvironment.get(), AComponent), FComponent(AComponent) {}

Connection::~Connection() {
  Disconnect();
}

void Connection::DriverConnect(std::string_view AConnectionString) {
  std::vector<SQLWCHAR> text = ToSqlWide(AConnectionString);
  SQLSMALLINT out_length = 0;
  Check(SQLDriverConnectW(get(), nullptr, text.data(), SQL_NTS, nullptr, 0, &out_length,
                          SQL_DRIVER_NOPROMPT),
        SQL_HANDLE_DBC, get(), FComponent);
  FConnected = true;
}

bool Connection::Dead() const {
  if (!FConnected) return false;
  SQLUINTEGER dead = SQL_CD_FALSE;
  Check(SQLGetConnectAttrW(get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr), SQL_HANDLE_DBC,
        get(), FComponent);
  return dead == SQL_CD_TRUE;
}

void Connection::Disconnect() {
  if (!FConnected) return;
  FConnected = false;
  // SQLDisconnect frees them too, and their owners must not free them again.
  for (Statement* statement : FStatements) statement->Orphan();
  FStatements.clear();
  SQLDisconnect(get());
}

}  // namespace odbc
