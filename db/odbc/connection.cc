#include "db/odbc/connection.h"

#include <vector>

#include "db/odbc/sql_api.h"
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

void Connection::SetLoginTimeout(int ASeconds) {
  Check(SQLSetConnectAttrW(get(), SQL_ATTR_LOGIN_TIMEOUT,
                           reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(ASeconds)), 0),
        SQL_HANDLE_DBC, get(), FComponent);
}

std::string Connection::CurrentCatalog() const {
  return ReadSqlWide(
      [this](SQLWCHAR* ABuffer, SQLINTEGER ABytes) {
        SQLINTEGER bytes = 0;
        Check(SQLGetConnectAttrW(get(), SQL_ATTR_CURRENT_CATALOG, ABuffer, ABytes, &bytes),
              SQL_HANDLE_DBC, get(), FComponent);
        return bytes;
      },
      256);
}

void Connection::SetCurrentCatalog(std::string_view AName) {
  std::vector<SQLWCHAR> name = ToSqlWide(AName);
  Check(SQLSetConnectAttrW(get(), SQL_ATTR_CURRENT_CATALOG, name.data(),
                           static_cast<SQLINTEGER>((name.size() - 1) * sizeof(SQLWCHAR))),
        SQL_HANDLE_DBC, get(), FComponent);
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
