// TDateTime: a calendar date and time of day as one number, the way the
// program's stored files and the server's datetime type both count: whole
// days since 1899-12-30, the fraction being the time of day.
#pragma once

#include <compare>

struct TDateTime {
  double Value = 0;  // days since 1899-12-30 00:00; the fraction is the time of day

  auto operator<=>(const TDateTime&) const = default;
};

// The moment of `AYear`-`AMonth`-`ADay` `AHour`:`AMinute`:`ASecond`.`AMilliSecond`
// (proleptic Gregorian calendar; no range or validity checks).
TDateTime EncodeDateTime(int AYear, int AMonth, int ADay, int AHour = 0, int AMinute = 0,
                         int ASecond = 0, int AMilliSecond = 0);

// The parts of a TDateTime, rounded to the millisecond.
struct TDateTimeParts {
  int Year, Month, Day, Hour, Minute, Second, MilliSecond;
};
TDateTimeParts DecodeDateTime(TDateTime AValue);
