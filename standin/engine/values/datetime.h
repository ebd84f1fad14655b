// Date and time values: reading text as SQL Server (us_english) does and
// writing the canonical forms of sql_value.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sql_value.h"

namespace standin::engine {

// SET DATEFORMAT: the order of day, month and year in numeric dates.
enum class DateOrder { Mdy, Dmy, Ymd, Ydm, Myd, Dym };
std::optional<DateOrder> DateOrderFromName(std::string_view name);

struct DateTimeParts {
  int year = 1900, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
  std::int64_t nanos = 0;
};

enum class DateParse { Ok, BadSyntax, OutOfRange };

// Reads a date/time literal. `legacy` is true for datetime and smalldatetime,
// whose numeric dates with a leading 4-digit year still follow the date
// order (SQL Server's long-standing quirk); date and time always read them ymd.
DateParse ParseDateTime(std::string_view text, DateOrder order, bool legacy, DateTimeParts& out);

// Reads a canonical value of any date/time TypeId back into parts.
DateTimeParts ParseCanonical(std::string_view canonical);

// Rounds the parts to the precision of `type` (DateTime: 1/300 s, SmallDateTime:
// minutes, Time and DateTime2: `scale` digits) and writes its canonical form; nullopt when
// the result is outside the type's range.
std::optional<std::string> FormatCanonical(DateTimeParts parts, const SqlType& type);

// The text CONVERT(varchar, value) gives for a datetime by default: "Dec 10 2026  6:09AM".
std::string FormatDefaultStyle(const DateTimeParts& parts, TypeId id);

// The local time now.
DateTimeParts Now();

// Days since 1900-01-01 and back.
std::int64_t DaysSince1900(int year, int month, int day);
void DateFromDays1900(std::int64_t days, int& year, int& month, int& day);

}  // namespace standin::engine
