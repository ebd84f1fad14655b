// A value bound to a "?" marker: its C and SQL types and its bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/odbc/sql_api.h"

namespace standin_test {

struct SqlParam {
  SQLSMALLINT c_type = SQL_C_CHAR;
  SQLSMALLINT sql_type = SQL_VARCHAR;
  SQLULEN column_size = 0;
  SQLSMALLINT decimal_digits = 0;
  std::vector<unsigned char> data;
  SQLLEN indicator = 0;  // byte length, or SQL_NULL_DATA

  static SqlParam Int(std::int32_t value);
  static SqlParam BigInt(std::int64_t value);
  static SqlParam Bit(bool value);
  static SqlParam Float(double value);
  // Sent as varchar; `utf8` is converted by the driver.
  static SqlParam VarChar(std::string_view utf8);
  // Sent as nvarchar (UTF-16 from the client).
  static SqlParam NVarChar(std::string_view utf8);
  // decimal(precision, scale) from its text, e.g. "-12.34".
  static SqlParam Decimal(std::string_view text, int precision, int scale);
  // A timestamp from "YYYY-MM-DD HH:MM:SS[.fff]"; throws std::invalid_argument.
  static SqlParam Timestamp(std::string_view text);
  static SqlParam VarBinary(std::vector<unsigned char> bytes);
  // NULL of the given SQL type (SQL_INTEGER, SQL_VARCHAR, ...).
  static SqlParam Null(SQLSMALLINT sql_type);
};

// UTF-16 code units of a UTF-8 string (no validation beyond what tests need).
std::u16string Utf8ToUtf16(std::string_view utf8);

}  // namespace standin_test
