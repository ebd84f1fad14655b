// Times as the operator reads them, in the user's regional formats: wine's
// user locale is en-US under an English or C POSIX locale.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <ctime>
#include <ostream>
#include <string>

#include "core/date_time.h"
#include "platform/regional_date_time.h"

namespace {

struct TextCase {
  const char* name;
  TDateTime value;
  const char* text;
};

void PrintTo(const TextCase& c, std::ostream* os) {
  *os << c.text;
}

class UnitedStatesDateTimeTest : public ::testing::TestWithParam<TextCase> {
 protected:
  void SetUp() override {
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    if (std::wstring(locale) != L"en-US") GTEST_SKIP() << "the user's locale is not en-US";
  }
};

TEST_P(UnitedStatesDateTimeTest, ShortDateAndLongTime) {
  EXPECT_EQ(platform::GeneralDateTimeText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Times, UnitedStatesDateTimeTest,
    ::testing::Values(
        TextCase{"Afternoon", EncodeDateTime(2026, 3, 4, 14, 5, 9, 0), "3/4/2026 2:05:09 PM"},
        TextCase{"Morning", EncodeDateTime(1999, 12, 31, 9, 30, 0, 0), "12/31/1999 9:30:00 AM"},
        TextCase{"MidnightShowsNoTime", EncodeDateTime(2026, 11, 21, 0, 0, 0, 0), "11/21/2026"},
        TextCase{"AMillisecondAfterMidnightShowsTheTime", EncodeDateTime(2026, 11, 21, 0, 0, 0, 1),
                 "11/21/2026 12:00:00 AM"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Win32LocalNowTest, IsTheLocalClock) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  const TDateTime expected = EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                            local.tm_hour, local.tm_min, local.tm_sec, 0);
  EXPECT_LT(std::fabs(platform::LocalNow().Value - expected.Value), 5.0 / 86400);
}

}  // namespace
