#include "core/date_time.h"

#include <chrono>
#include <cmath>

namespace {

using std::chrono::days;
using std::chrono::sys_days;

constexpr sys_days kEpoch = sys_days{std::chrono::year{1899} / 12 / 30};
constexpr double kMsPerDay = 86'400'000.0;

}  // namespace

TDateTime EncodeDateTime(int AYear, int AMonth, int ADay, int AHour, int AMinute, int ASecond,
                         int AMilliSecond) {
  const sys_days date{std::chrono::year{AYear} / AMonth / ADay};
  const double ms = ((AHour * 60.0 + AMinute) * 60.0 + ASecond) * 1000.0 + AMilliSecond;
  return TDateTime{static_cast<double>((date - kEpoch).count()) + ms / kMsPerDay};
}

TDateTimeParts DecodeDateTime(TDateTime AValue) {
  // Whole milliseconds first, so 23:59:59.9996 becomes the next midnight.
  const auto total_ms = static_cast<long long>(std::llround(AValue.Value * kMsPerDay));
  long long day = total_ms / 86'400'000;
  long long ms = total_ms % 86'400'000;
  if (ms < 0) {
    ms += 86'400'000;
    --day;
  }
  const std::chrono::year_month_day ymd{kEpoch + days{day}};
  return TDateTimeParts{static_cast<int>(ymd.year()),
                        static_cast<int>(static_cast<unsigned>(ymd.month())),
                        static_cast<int>(static_cast<unsigned>(ymd.day())),
                        static_cast<int>(ms / 3'600'000),
                        static_cast<int>(ms / 60'000 % 60),
                        static_cast<int>(ms / 1000 % 60),
                        static_cast<int>(ms % 1000)};
}
