// One ODBC connection handle and the session it opens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/component.h"
#include "db/odbc/environment.h"
#include "db/odbc/handle.h"
#include "db/odbc/sql_api.h"

namespace odbc {

class Statement;

class Connection {
 public:
  // A disconnected handle under `AEnvironment`, which must outlive it. Errors
  // are raised for `AComponent` (may be null, not owned).
  Connection(const Environment& AEnvironment, TComponent* AComponent);
  // Disconnects when connected, then frees the handle.
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens a session as `AConnectionString` (UTF-8, "Driver=...;Server=...")
  // describes, never prompting. Throws EMSError when SQL Server refuses,
  // EOLEDBError when the driver fails on its own; stays disconnected then.
  void DriverConnect(std::string_view AConnectionString);
  // How long DriverConnect() may wait for the server, in seconds; 0 waits as
  // long as the driver's default. Set before DriverConnect().
  void SetLoginTimeout(int ASeconds);
  // Frees the statements of the session, then ends it. A release step: the
  // driver's errors are ignored, since a broken session is gone either way.
  void Disconnect();
  bool Connected() const { return FConnected; }
  // True when the driver knows the open session is gone (a broken link, a
  // KILL, a fatal server error): only disconnecting helps then. False when
  // not connected.
  bool Dead() const;

  // The session's current database.
  std::string CurrentCatalog() const;
  // Switches the session to database `AName`. Throws EMSError when the
  // server refuses; the session stays on its database then.
  void SetCurrentCatalog(std::string_view AName);

  SQLHDBC get() const { return FHandle.get(); }
  TComponent* Component() const { return FComponent; }

 private:
  friend class Statement;

  Handle<SQL_HANDLE_DBC> FHandle;
  TComponent* FComponent;
  bool FConnected = false;
  std::vector<Statement*> FStatements;  // alive on this session; freed by Disconnect()
};

}  // namespace odbc
