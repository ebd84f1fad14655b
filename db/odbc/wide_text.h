// Text crosses the ODBC border as UTF-16 (the W functions); inside the
// program it is UTF-8.
#pragma once

#include "db/odbc/sql_api.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace odbc {

// `AText` as NUL-terminated UTF-16. Throws Exception "Invalid UTF-8 text"
// when `AText` is not UTF-8.
std::vector<SQLWCHAR> ToSqlWide(std::string_view AText);

// The `ALength` UTF-16 units at `AText` as UTF-8. Servers may hold unpaired
// surrogates, which UTF-8 cannot carry; each becomes U+FFFD.
std::string FromSqlWide(const SQLWCHAR* AText, std::size_t ALength);

}  // namespace odbc
