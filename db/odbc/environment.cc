#include "db/odbc/environment.h"

#include "db/odbc/sql_api.h"
#include "db/odbc/wide_text.h"

namespace odbc {

Environment::Environment() : FHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, nullptr) {
  Check(SQLSetEnvAttr(get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
        SQL_HANDLE_ENV, get(), nullptr);
}

std::vector<std::string> Environment::RegisteredDrivers() const {
  std::vector<std::string> names;
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  for (;;) {
    SQLWCHAR name[512] = {};
    SQLSMALLINT length = 0;
    SQLSMALLINT attributes_length = 0;
    const SQLRETURN rc = Check(SQLDriversW(get(), direction, name, std::size(name), &length,
                                           nullptr, 0, &attributes_length),
                               SQL_HANDLE_ENV, get(), nullptr);
    if (rc == SQL_NO_DATA) return names;
    names.push_back(FromSqlWide(name, length));
    direction = SQL_FETCH_NEXT;
  }
}

}  // namespace odbc
