#include "temporal.h"

#include <cstdio>
#include <stdexcept>

namespace standin::tds {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  unsigned yoe = static_cast<unsigned>(y - era * 400);
  unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Civil {
  std::int64_t year;
  unsigned month, day;
};

Civil CivilFromDays(std::int64_t z) {
  z += 719468;
  std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  unsigned doe = static_cast<unsigned>(z - era * 146097);
  unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  unsigned mp = (5 * doy + 2) / 153;
  unsigned d = doy - (153 * mp + 2) / 5 + 1;
  unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

const std::int64_t kEpoch1900 = DaysFromCivil(1900, 1, 1);
const std::int64_t kEpoch0001 = DaysFromCivil(1, 1, 1);

// Reads `width` decimal digits at text[pos].
unsigned Digits(std::string_view text, std::size_t pos, std::size_t width) {
  if (pos + width > text.size()) throw std::invalid_argument("date/time text too short");
  unsigned value = 0;
  for (std::size_t i = pos; i < pos + width; ++i) {
    if (text[i] < '0' || text[i] > '9') throw std::invalid_argument("bad date/time digit");
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
  }
  return value;
}

void Expect(std::string_view text, std::size_t pos, char c) {
  if (pos >= text.size() || text[pos] != c) throw std::invalid_argument("bad date/time text");
}

// Days since 1970-01-01 of "YYYY-MM-DD" at the start of `text`.
std::int64_t DateAt(std::string_view text) {
  unsigned y = Digits(text, 0, 4);
  Expect(text, 4, '-');
  unsigned m = Digits(text, 5, 2);
  Expect(text, 7, '-');
  unsigned d = Digits(text, 8, 2);
  if (m < 1 || m > 12 || d < 1 || d > 31) throw std::invalid_argument("bad date");
  return DaysFromCivil(y, m, d);
}

// Seconds since midnight of "HH:MM:SS" at text[pos]; `fraction` gets the digits after a '.'.
unsigned SecondsAt(std::string_view text, std::size_t pos, std::string_view* fraction) {
  unsigned h = Digits(text, pos, 2);
  Expect(text, pos + 2, ':');
  unsigned m = Digits(text, pos + 3, 2);
  Expect(text, pos + 5, ':');
  unsigned s = Digits(text, pos + 6, 2);
  *fraction = {};
  if (pos + 8 < text.size()) {
    Expect(text, pos + 8, '.');
    *fraction = text.substr(pos + 9);
    Digits(*fraction, 0, fraction->size());
  }
  return h * 3600 + m * 60 + s;
}

// The first `scale` digits of a fraction as an integer, padded with zeros.
std::uint64_t FractionUnits(std::string_view fraction, int scale) {
  std::uint64_t units = 0;
  for (int i = 0; i < scale; ++i) {
    units = units * 10 + (static_cast<std::size_t>(i) < fraction.size() ? fraction[i] - '0' : 0);
  }
  return units;
}

std::string DateText(std::int64_t days_since_1970) {
  Civil c = CivilFromDays(days_since_1970);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u", static_cast<long long>(c.year), c.month,
                c.day);
  return buf;
}

std::string TimeText(std::uint64_t seconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02u:%02u:%02u", static_cast<unsigned>(seconds / 3600 % 24),
                static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
  return buf;
}

std::uint64_t Pow10(int n) {
  std::uint64_t p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

}  // namespace

DateTimeTicks ParseDateTime(std::string_view text) {
  std::int64_t days = DateAt(text) - kEpoch1900;
  Expect(text, 10, ' ');
  std::string_view fraction;
  unsigned seconds = SecondsAt(text, 11, &fraction);
  std::uint64_t ms = FractionUnits(fraction, 3);
  // Milliseconds are already on the 1/300 s grid (.000, .003, .007), so rounding is exact.
  return {static_cast<std::int32_t>(days),
          static_cast<std::uint32_t>(seconds * 300 + (ms * 3 + 5) / 10)};
}

std::string FormatDateTime(DateTimeTicks value) {
  std::uint64_t seconds = value.ticks / 300;
  std::uint64_t ms = ((value.ticks % 300) * 10 + 1) / 3;
  char frac[8];
  std::snprintf(frac, sizeof frac, ".%03u", static_cast<unsigned>(ms));
  return DateText(kEpoch1900 + value.days) + " " + TimeText(seconds) + frac;
}

SmallDateTimeMinutes ParseSmallDateTime(std::string_view text) {
  std::int64_t days = DateAt(text) - kEpoch1900;
  Expect(text, 10, ' ');
  std::string_view fraction;
  unsigned seconds = SecondsAt(text, 11, &fraction);
  return {static_cast<std::uint16_t>(days), static_cast<std::uint16_t>(seconds / 60)};
}

std::string FormatSmallDateTime(SmallDateTimeMinutes value) {
  return DateText(kEpoch1900 + value.days) + " " + TimeText(value.minutes * 60u) + ".000";
}

std::int32_t ParseDate(std::string_view text) {
  if (text.size() != 10) throw std::invalid_argument("bad date text");
  return static_cast<std::int32_t>(DateAt(text) - kEpoch0001);
}

std::string FormatDate(std::int32_t days) {
  return DateText(kEpoch0001 + days);
}

std::uint64_t ParseTime(std::string_view text, int scale) {
  std::string_view fraction;
  unsigned seconds = SecondsAt(text, 0, &fraction);
  return seconds * Pow10(scale) + FractionUnits(fraction, scale);
}

std::string FormatTime(std::uint64_t units, int scale) {
  std::string text = TimeText(units / Pow10(scale));
  if (scale > 0) {
    std::string digits = std::to_string(units % Pow10(scale));
    text += "." + std::string(static_cast<std::size_t>(scale) - digits.size(), '0') + digits;
  }
  return text;
}

std::string FormatDateTime2(std::int32_t days, std::uint64_t units, int scale) {
  return DateText(kEpoch0001 + days) + " " + FormatTime(units, scale);
}

}  // namespace standin::tds
