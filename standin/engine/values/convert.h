// Conversions between SQL Server types on canonical values, with SQL Server's
// rules and errors.
#pragma once

#include <string>

#include "sql_value.h"
#include "values/datetime.h"

namespace standin::engine {

enum class ConvertMode {
  Assign,    // storing into a column or parameter: over-long text fails with 8152
  Explicit,  // CAST / CONVERT and implicit conversions in expressions: text is cut
};

// Converts `value` of type `from` to type `to`; throws SqlError (241, 242,
// 245, 8114, 8115, 8152, ...) where SQL Server fails the conversion.
Value Convert(const Value& value, const SqlType& from, const SqlType& to, ConvertMode mode,
              DateOrder order);

// CONVERT(type, value, style): for date/time values and text the style picks
// the text form (101 mm/dd/yyyy, 103 dd/mm/yyyy, 112 yyyymmdd, 120 ODBC, ...);
// other conversions ignore it.
Value ConvertStyled(const Value& value, const SqlType& from, const SqlType& to, int style,
                    DateOrder order);

// The text of a value as CONVERT(varchar, value) shows it.
std::string ValueText(const Value& value, const SqlType& type);

// A number with exactly `scale` fraction digits, rounded half away from zero.
std::string FormatScaled(double number, int scale);
// A plain decimal text ("-12.345") rounded the same way.
std::string RoundDecimalText(const std::string& text, int scale);

}  // namespace standin::engine
