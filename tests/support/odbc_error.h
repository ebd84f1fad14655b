// ODBC failures as exceptions that keep every diagnostic record.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "db/odbc/sql_api.h"

namespace standin_test {

struct Diagnostic {
  std::string sqlstate;
  int native = 0;  // SQL Server's error number
  std::string message;
};

// The diagnostic records of `handle`, in order.
std::vector<Diagnostic> ReadDiagnostics(SQLSMALLINT handle_type, SQLHANDLE handle);

class OdbcError : public std::runtime_error {
 public:
  OdbcError(std::string call, std::vector<Diagnostic> diagnostics);

  const std::vector<Diagnostic>& diagnostics() const { return diagnostics_; }
  // The first record that carries a server error number, else the first record.
  const std::string& sqlstate() const { return Main().sqlstate; }
  int native() const { return Main().native; }
  const std::string& message() const { return Main().message; }
  // The record with server error `native`, or nullptr. The driver ranks
  // records by severity, so the one a test looks for need not come first.
  const Diagnostic* Find(int native) const;

 private:
  const Diagnostic& Main() const;
  std::vector<Diagnostic> diagnostics_;
};

// Throws OdbcError with the handle's diagnostics unless `rc` is SQL_SUCCESS,
// SQL_SUCCESS_WITH_INFO or SQL_NO_DATA; returns `rc`.
SQLRETURN Check(SQLRETURN rc, SQLSMALLINT handle_type, SQLHANDLE handle, const char* call);

}  // namespace standin_test
