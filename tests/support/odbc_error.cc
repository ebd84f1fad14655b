#include "odbc_error.h"

namespace standin_test {
namespace {

std::string Describe(const std::string& call, const std::vector<Diagnostic>& diagnostics) {
  std::string text = call + " failed";
  for (const Diagnostic& d : diagnostics) {
    text += "; [" + d.sqlstate + "] (" + std::to_string(d.native) + ") " + d.message;
  }
  return text;
}

}  // namespace

std::vector<Diagnostic> ReadDiagnostics(SQLSMALLINT handle_type, SQLHANDLE handle) {
  std::vector<Diagnostic> records;
  for (SQLSMALLINT i = 1;; ++i) {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLCHAR message[4096] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc =
        SQLGetDiagRec(handle_type, handle, i, state, &native, message, sizeof message, &length);
    if (!SQL_SUCCEEDED(rc)) break;
    records.push_back({reinterpret_cast<char*>(state), static_cast<int>(native),
                       reinterpret_cast<char*>(message)});
  }
  return records;
}

OdbcError::OdbcError(std::string call, std::vector<Diagnostic> diagnostics)
    : std::runtime_error(Describe(call, diagnostics)), diagnostics_(std::move(diagnostics)) {
  if (diagnostics_.empty()) diagnostics_.push_back({"HY000", 0, "no diagnostic record"});
}

const Diagnostic& OdbcError::Main() const {
  for (const Diagnostic& d : diagnostics_) {
    if (d.native != 0) return d;
  }
  return diagnostics_.front();
}

const Diagnostic* OdbcError::Find(int native) const {
  for (const Diagnostic& d : diagnostics_) {
    if (d.native == native) return &d;
  }
  return nullptr;
}

SQLRETURN Check(SQLRETURN rc, SQLSMALLINT handle_type, SQLHANDLE handle, const char* call) {
  if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_NO_DATA) return rc;
  throw OdbcError(call, ReadDiagnostics(handle_type, handle));
}

}  // namespace standin_test
