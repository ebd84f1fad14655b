// Owns one ODBC handle: allocated on construction, freed on destruction.
#pragma once

#include "core/component.h"
#include "db/odbc/diagnostics.h"
#include "db/odbc/sql_api.h"

namespace odbc {

template <SQLSMALLINT kType>
class Handle {
 public:
  // Allocates a handle of kType under `AParent`, of type `AParentType`
  // (SQL_NULL_HANDLE for an environment). Throws as RaiseDiagnostics() does,
  // for `AComponent`.
  Handle(SQLSMALLINT AParentType, SQLHANDLE AParent, TComponent* AComponent) {
    const SQLRETURN rc = SQLAllocHandle(kType, AParent, &FHandle);
    if (SQL_SUCCEEDED(rc)) return;
    if (AParent == SQL_NULL_HANDLE) throw EOLEDBError({}, kCallFailed, AComponent);
    RaiseDiagnostics(AParentType, AParent, AComponent);
  }
  ~Handle() { Free(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  // SQL_NULL_HANDLE once freed.
  SQLHANDLE get() const { return FHandle; }
  // Frees the handle now; nothing when already freed.
  void Free() {
    if (FHandle != SQL_NULL_HANDLE) SQLFreeHandle(kType, FHandle);
    FHandle = SQL_NULL_HANDLE;
  }

 private:
  SQLHANDLE FHandle = SQL_NULL_HANDLE;
};

}  // namespace odbc
