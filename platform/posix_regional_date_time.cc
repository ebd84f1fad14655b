#include <langinfo.h>

#include <chrono>
#include <ctime>

#include "platform/regional_date_time.h"

namespace platform {

namespace {

std::string Formatted(const char* AFormat, const std::tm& AParts) {
  char text[256];
  const std::size_t length = std::strftime(text, sizeof text, AFormat, &AParts);
  return std::string(text, length);
}

}  // namespace

TDateTime LocalNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec, static_cast<int>(millis));
}

std::string GeneralDateTimeText(TDateTime AValue) {
  const TDateTimeParts parts = DecodeDateTime(AValue);
  std::tm local{};
  local.tm_year = parts.Year - 1900;
  local.tm_mon = parts.Month - 1;
  local.tm_mday = parts.Day;
  local.tm_hour = parts.Hour;
  local.tm_min = parts.Minute;
  local.tm_sec = parts.Second;
  local.tm_isdst = -1;
  // The weekday for formats that name it.
  std::tm normalized = local;
  if (timegm(&normalized) != -1) local.tm_wday = normalized.tm_wday;
  std::string text = Formatted(nl_langinfo(D_FMT), local);
  const bool midnight =
      parts.Hour == 0 && parts.Minute == 0 && parts.Second == 0 && parts.MilliSecond == 0;
  if (!midnight) text += " " + Formatted(nl_langinfo(T_FMT), local);
  return text;
}

}  // namespace platform
