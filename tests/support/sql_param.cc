#include "sql_param.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace standin_test {
namespace {

template <typename T>
SqlParam Fixed(SQLSMALLINT c_type, SQLSMALLINT sql_type, const T& value, SQLULEN size = 0) {
  SqlParam param;
  param.c_type = c_type;
  param.sql_type = sql_type;
  param.column_size = size;
  param.data.resize(sizeof value);
  std::memcpy(param.data.data(), &value, sizeof value);
  param.indicator = sizeof value;
  return param;
}

SqlParam Bytes(SQLSMALLINT c_type, SQLSMALLINT sql_type, const void* bytes, std::size_t length,
               SQLULEN column_size) {
  SqlParam param;
  param.c_type = c_type;
  param.sql_type = sql_type;
  param.column_size = column_size == 0 ? 1 : column_size;
  param.data.assign(static_cast<const unsigned char*>(bytes),
                    static_cast<const unsigned char*>(bytes) + length);
  param.data.push_back(0);  // room for a terminator some drivers peek at
  param.indicator = static_cast<SQLLEN>(length);
  return param;
}

}  // namespace

SqlParam SqlParam::Int(std::int32_t value) {
  return Fixed(SQL_C_SLONG, SQL_INTEGER, static_cast<SQLINTEGER>(value), 10);
}
SqlParam SqlParam::BigInt(std::int64_t value) {
  return Fixed(SQL_C_SBIGINT, SQL_BIGINT, static_cast<SQLBIGINT>(value), 19);
}
SqlParam SqlParam::Bit(bool value) {
  return Fixed(SQL_C_BIT, SQL_BIT, static_cast<unsigned char>(value ? 1 : 0), 1);
}
SqlParam SqlParam::Float(double value) {
  return Fixed(SQL_C_DOUBLE, SQL_DOUBLE, value, 15);
}

SqlParam SqlParam::VarChar(std::string_view utf8) {
  return Bytes(SQL_C_CHAR, SQL_VARCHAR, utf8.data(), utf8.size(), utf8.size());
}

SqlParam SqlParam::NVarChar(std::string_view utf8) {
  const std::u16string units = Utf8ToUtf16(utf8);
  return Bytes(SQL_C_WCHAR, SQL_WVARCHAR, units.data(), units.size() * 2, units.size());
}

SqlParam SqlParam::Decimal(std::string_view text, int precision, int scale) {
  SqlParam param = Bytes(SQL_C_CHAR, SQL_DECIMAL, text.data(), text.size(), precision);
  param.decimal_digits = static_cast<SQLSMALLINT>(scale);
  return param;
}

SqlParam SqlParam::Timestamp(std::string_view text) {
  SQL_TIMESTAMP_STRUCT ts = {};
  unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millis = 0;
  const std::string copy(text);
  const int fields = std::sscanf(copy.c_str(), "%4u-%2u-%2u %2u:%2u:%2u.%3u", &year, &month, &day,
                                 &hour, &minute, &second, &millis);
  if (fields < 6) throw std::invalid_argument("not a timestamp: " + copy);
  ts.year = static_cast<SQLSMALLINT>(year);
  ts.month = static_cast<SQLUSMALLINT>(month);
  ts.day = static_cast<SQLUSMALLINT>(day);
  ts.hour = static_cast<SQLUSMALLINT>(hour);
  ts.minute = static_cast<SQLUSMALLINT>(minute);
  ts.second = static_cast<SQLUSMALLINT>(second);
  ts.fraction = millis * 1000000u;
  SqlParam param = Fixed(SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, ts, 23);
  param.decimal_digits = 3;
  return param;
}

SqlParam SqlParam::VarBinary(std::vector<unsigned char> bytes) {
  return Bytes(SQL_C_BINARY, SQL_VARBINARY, bytes.data(), bytes.size(), bytes.size());
}

SqlParam SqlParam::Null(SQLSMALLINT sql_type) {
  SqlParam param;
  param.c_type = SQL_C_CHAR;
  param.sql_type = sql_type;
  param.column_size = 1;
  param.data.assign(1, 0);
  param.indicator = SQL_NULL_DATA;
  return param;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k) {
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    i += extra + 1;
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
  }
  return out;
}

}  // namespace standin_test
