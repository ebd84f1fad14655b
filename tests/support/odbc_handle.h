// Owns one ODBC handle and frees it with SQLFreeHandle.
#pragma once

#include <utility>

#include "db/odbc/sql_api.h"
#include "odbc_error.h"

namespace standin_test {

template <SQLSMALLINT kType>
class OdbcHandle {
 public:
  // Allocates a handle of kType under `parent` (SQL_NULL_HANDLE for an environment).
  explicit OdbcHandle(SQLHANDLE parent) {
    const SQLRETURN rc = SQLAllocHandle(kType, parent, &handle_);
    if (!SQL_SUCCEEDED(rc)) {
      throw OdbcError("SQLAllocHandle", parent == SQL_NULL_HANDLE
                                            ? std::vector<Diagnostic>{}
                                            : ReadDiagnostics(ParentType(), parent));
    }
  }
  ~OdbcHandle() {
    if (handle_ != nullptr) SQLFreeHandle(kType, handle_);
  }
  OdbcHandle(OdbcHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  OdbcHandle& operator=(OdbcHandle&&) = delete;
  OdbcHandle(const OdbcHandle&) = delete;

  SQLHANDLE get() const { return handle_; }

 private:
  static constexpr SQLSMALLINT ParentType() {
    return kType == SQL_HANDLE_DBC ? SQL_HANDLE_ENV : SQL_HANDLE_DBC;
  }
  SQLHANDLE handle_ = nullptr;
};

}  // namespace standin_test
