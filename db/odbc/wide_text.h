// Text crosses the ODBC border as UTF-16 (the W functions); inside the
// program it is UTF-8.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "db/odbc/sql_api.h"

namespace odbc {

// `AText` as NUL-terminated UTF-16. Throws Exception "Invalid UTF-8 text"
// when `AText` is not UTF-8.
std::vector<SQLWCHAR> ToSqlWide(std::string_view AText);

// The `ALength` UTF-16 units at `AText` as UTF-8. Servers may hold unpaired
// surrogates, which UTF-8 cannot carry; each becomes U+FFFD.
std::string FromSqlWide(const SQLWCHAR* AText, std::size_t ALength);

// A text the driver writes NUL-terminated into a buffer of the given bytes,
// answering the bytes of the whole text: `AAsk` asks once with `AUnits`
// units and, when the answer does not fit, once more with room for all it
// reported. What is read ends at the NUL and never goes past the buffer,
// whatever the driver answers.
std::string ReadSqlWide(const std::function<SQLINTEGER(SQLWCHAR*, SQLINTEGER)>& AAsk,
                        std::size_t AUnits);

}  // namespace odbc
