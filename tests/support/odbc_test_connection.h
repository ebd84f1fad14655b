// A connection to the stand-in through unixODBC and the FreeTDS driver, the
// stack the program itself uses. Test scaffolding only: every failure throws
// OdbcError.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "odbc_handle.h"
#include "odbc_statement.h"
#include "sql_param.h"

namespace standin_test {

struct Login {
  std::string user = "sa";
  std::string password;
  std::string database;  // empty: the login's default database
};

class OdbcTestConnection {
 public:
  // The driver-connect string for a stand-in listening on `port`.
  static std::string ConnectionString(int port, const Login& login);

  // Connects; throws OdbcError (e.g. native 18456, 4060) when refused.
  explicit OdbcTestConnection(int port, const Login& login = {});
  // Disconnects if still connected.
  ~OdbcTestConnection();
  OdbcTestConnection(const OdbcTestConnection&) = delete;
  OdbcTestConnection& operator=(const OdbcTestConnection&) = delete;

  // A new statement on this connection.
  OdbcStatement Statement();

  // Runs `sql` and reads every result through, so errors late in a batch surface.
  void Exec(std::string_view sql, std::vector<SqlParam> params = {});
  // The first result set of `sql` (the rest of the request is read through).
  ResultSet Query(std::string_view sql, std::vector<SqlParam> params = {});
  // The first column of the first row of `sql`; nullopt for NULL. Throws
  // std::runtime_error when there is no row.
  std::optional<std::string> Scalar(std::string_view sql, std::vector<SqlParam> params = {});

  // Autocommit is on after connecting. Off, the driver keeps the session in
  // a transaction that Commit() or Rollback() ends (SQLEndTran).
  void SetAutocommit(bool on);
  void Commit();
  void Rollback();

  // The server session id (@@SPID).
  int Spid();

  // Ends the session now; the object may only be destroyed afterwards.
  void Disconnect();

  SQLHDBC handle() const { return dbc_.get(); }

 private:
  OdbcHandle<SQL_HANDLE_ENV> env_;
  OdbcHandle<SQL_HANDLE_DBC> dbc_;
  bool connected_ = false;
};

}  // namespace standin_test
