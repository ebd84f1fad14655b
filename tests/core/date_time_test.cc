#include "core/date_time.h"

#include <gtest/gtest.h>

#include <array>

namespace {

struct DateTimeCase {
  int y, mo, d, h, mi, s, ms;
  double value;
};

// Day numbers as the server's datetime and the stored files count them.
const DateTimeCase kCases[] = {
    {1899, 12, 30, 0, 0, 0, 0, 0.0},
    {1900, 1, 1, 0, 0, 0, 0, 2.0},
    {1899, 12, 29, 6, 0, 0, 0, -0.75},
    {2000, 2, 29, 12, 0, 0, 0, 36585.5},
    {2026, 12, 10, 23, 59, 59, 999, 46366.0 + 86399999.0 / 86400000.0},
};

TEST(DateTimeTest, EncodesAndDecodesTheDayCount) {
  for (const DateTimeCase& c : kCases) {
    const TDateTime t = EncodeDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms);
    EXPECT_NEAR(t.Value, c.value, 1e-9) << c.y << "-" << c.mo << "-" << c.d;
    const TDateTimeParts p = DecodeDateTime(t);
    EXPECT_EQ((std::array{p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second, p.MilliSecond}),
              (std::array{c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms}));
  }
}

TEST(DateTimeTest, DecodingRoundsToTheMillisecond) {
  const TDateTimeParts p = DecodeDateTime(TDateTime{1.0 - 0.0004 / 86400.0});
  EXPECT_EQ((std::array{p.Year, p.Month, p.Day, p.Hour}), (std::array{1899, 12, 31, 0}));
}

}  // namespace
