#include <windows.h>

#include "platform/regional_date_time.h"
#include "platform/win32_text.h"

namespace platform {

namespace {

SYSTEMTIME SystemTimeOf(TDateTime AValue) {
  const TDateTimeParts parts = DecodeDateTime(AValue);
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(parts.Year);
  time.wMonth = static_cast<WORD>(parts.Month);
  time.wDay = static_cast<WORD>(parts.Day);
  time.wHour = static_cast<WORD>(parts.Hour);
  time.wMinute = static_cast<WORD>(parts.Minute);
  time.wSecond = static_cast<WORD>(parts.Second);
  time.wMilliseconds = static_cast<WORD>(parts.MilliSecond);
  return time;
}

}  // namespace

TDateTime LocalNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return EncodeDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                        now.wMilliseconds);
}

std::string GeneralDateTimeText(TDateTime AValue) {
  const SYSTEMTIME time = SystemTimeOf(AValue);
  wchar_t date[128] = {};
  GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 128, nullptr);
  std::string text = Utf8FromWide(date);
  if (time.wHour != 0 || time.wMinute != 0 || time.wSecond != 0 || time.wMilliseconds != 0) {
    wchar_t clock[128] = {};
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, nullptr, clock, 128);
    text += " " + Utf8FromWide(clock);
  }
  return text;
}

}  // namespace platform
