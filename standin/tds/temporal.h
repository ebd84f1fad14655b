// Dates and times between the engine's text forms (see sql_value.h) and the
// day and tick counts TDS carries them in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace standin::tds {

// datetime: days since 1900-01-01 and 1/300-second ticks since midnight.
struct DateTimeTicks {
  std::int32_t days;
  std::uint32_t ticks;
};
// smalldatetime: days since 1900-01-01 and minutes since midnight.
struct SmallDateTimeMinutes {
  std::uint16_t days;
  std::uint16_t minutes;
};

// Each parser takes the engine's form and throws std::invalid_argument on
// anything else; each formatter produces that form.
DateTimeTicks ParseDateTime(std::string_view text);  // "YYYY-MM-DD HH:MM:SS.mmm"
std::string FormatDateTime(DateTimeTicks value);
SmallDateTimeMinutes ParseSmallDateTime(std::string_view text);
std::string FormatSmallDateTime(SmallDateTimeMinutes value);
// date: days since 0001-01-01.
std::int32_t ParseDate(std::string_view text);  // "YYYY-MM-DD"
std::string FormatDate(std::int32_t days);
// time(scale): units of 10^-scale seconds since midnight.
std::uint64_t ParseTime(std::string_view text, int scale);  // "HH:MM:SS[.fffffff]"
std::string FormatTime(std::uint64_t units, int scale);
// datetime2(scale): days since 0001-01-01 and units of 10^-scale seconds since
// midnight, as "YYYY-MM-DD HH:MM:SS[.fffffff]".
std::string FormatDateTime2(std::int32_t days, std::uint64_t units, int scale);

}  // namespace standin::tds
