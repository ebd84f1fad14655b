#include "odbc_test_connection.h"

#include <stdexcept>

namespace standin_test {
namespace {

OdbcHandle<SQL_HANDLE_ENV> MakeEnvironment() {
  OdbcHandle<SQL_HANDLE_ENV> env(SQL_NULL_HANDLE);
  Check(SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                      0),
        SQL_HANDLE_ENV, env.get(), "SQLSetEnvAttr");
  return env;
}

}  // namespace

std::string OdbcTestConnection::ConnectionString(int port, const Login& login) {
  std::string text = "Driver=FreeTDS;Server=127.0.0.1;Port=" + std::to_string(port) +
                     ";UID=" + login.user + ";PWD=" + login.password;
  if (!login.database.empty()) text += ";Database=" + login.database;
  return text + ";TDS_Version=7.4;ClientCharset=UTF-8";
}

OdbcTestConnection::OdbcTestConnection(int port, const Login& login)
    : env_(MakeEnvironment()), dbc_(env_.get()) {
  std::string text = ConnectionString(port, login);
  SQLSMALLINT out_length = 0;
  Check(SQLDriverConnect(dbc_.get(), nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS,
                         nullptr, 0, &out_length, SQL_DRIVER_NOPROMPT),
        SQL_HANDLE_DBC, dbc_.get(), "SQLDriverConnect");
  connected_ = true;
}

OdbcTestConnection::~OdbcTestConnection() {
  if (connected_) SQLDisconnect(dbc_.get());
}

OdbcStatement OdbcTestConnection::Statement() {
  return OdbcStatement(dbc_.get());
}

void OdbcTestConnection::Exec(std::string_view sql, std::vector<SqlParam> params) {
  OdbcStatement statement = Statement();
  statement.ExecDirect(sql, std::move(params));
  statement.AllResults();
}

ResultSet OdbcTestConnection::Query(std::string_view sql, std::vector<SqlParam> params) {
  OdbcStatement statement = Statement();
  statement.ExecDirect(sql, std::move(params));
  std::vector<ResultSet> results = statement.AllResults();
  if (results.empty()) throw std::runtime_error("no result set from: " + std::string(sql));
  return std::move(results.front());
}

std::optional<std::string> OdbcTestConnection::Scalar(std::string_view sql,
                                                      std::vector<SqlParam> params) {
  ResultSet result = Query(sql, std::move(params));
  if (result.rows.empty()) throw std::runtime_error("no row from: " + std::string(sql));
  return result.rows.front().front();
}

void OdbcTestConnection::SetAutocommit(bool on) {
  Check(SQLSetConnectAttr(dbc_.get(), SQL_ATTR_AUTOCOMMIT,
                          reinterpret_cast<SQLPOINTER>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF),
                          SQL_IS_UINTEGER),
        SQL_HANDLE_DBC, dbc_.get(), "SQLSetConnectAttr");
}

void OdbcTestConnection::Commit() {
  Check(SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_COMMIT), SQL_HANDLE_DBC, dbc_.get(),
        "SQLEndTran");
}

void OdbcTestConnection::Rollback() {
  Check(SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_ROLLBACK), SQL_HANDLE_DBC, dbc_.get(),
        "SQLEndTran");
}

int OdbcTestConnection::Spid() {
  return std::stoi(Scalar("SELECT @@SPID").value());
}

void OdbcTestConnection::Disconnect() {
  if (!connected_) return;
  connected_ = false;
  Check(SQLDisconnect(dbc_.get()), SQL_HANDLE_DBC, dbc_.get(), "SQLDisconnect");
}

}  // namespace standin_test
