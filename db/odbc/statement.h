// One ODBC statement handle.
#pragma once

#include <string_view>

#include "db/odbc/connection.h"
#include "db/odbc/handle.h"
#include "db/odbc/sql_api.h"

namespace odbc {

class Statement {
 public:
  // A statement on the open session of `AConnection`; errors are raised for
  // the connection's component. Disconnecting frees the handle early, after
  // which every call throws Exception "Connection is not connected".
  explicit Statement(Connection& AConnection);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Runs `ASql` (UTF-8) at once. Throws EMSError when the server rejects it,
  // EOLEDBError when the driver fails on its own (e.g. the session is gone).
  void ExecDirect(std::string_view ASql);

  // The handle for calls not wrapped here; SQL_NULL_HANDLE once disconnected.
  SQLHSTMT get() const { return FHandle.get(); }

 private:
  friend class Connection;
  // Called by the connection as it disconnects.
  void Orphan();
  SQLHSTMT Live() const;

  Handle<SQL_HANDLE_STMT> FHandle;
  Connection* FConnection;
  TComponent* FComponent;
};

}  // namespace odbc
