// UTF-8 <-> UTF-16 at the ODBC border.
#include "db/odbc/wide_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "core/exception.h"

namespace {

struct RoundTrip {
  const char* name;
  std::string utf8;
  std::vector<SQLWCHAR> utf16;  // without the terminating NUL
};

void PrintTo(const RoundTrip& c, std::ostream* os) {
  *os << c.name;
}

class WideTextRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(WideTextRoundTrip, ConvertsBothWays) {
  const RoundTrip& c = GetParam();
  std::vector<SQLWCHAR> wide = odbc::ToSqlWide(c.utf8);
  ASSERT_FALSE(wide.empty());
  EXPECT_EQ(wide.back(), 0) << "NUL-terminated";
  wide.pop_back();
  EXPECT_EQ(wide, c.utf16);
  EXPECT_EQ(odbc::FromSqlWide(c.utf16.data(), c.utf16.size()), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WideTextRoundTrip,
    ::testing::Values(RoundTrip{"Empty", "", {}},
                      RoundTrip{"Ascii", "LOCKEY", {'L', 'O', 'C', 'K', 'E', 'Y'}},
                      RoundTrip{"TwoBytes", "Zo\xC3\xAB", {'Z', 'o', 0x00EB}},
                      RoundTrip{"ThreeBytes", "\xE2\x82\xAC", {0x20AC}},
                      RoundTrip{"LastBeforeSurrogates", "\xED\x9F\xBF", {0xD7FF}},
                      RoundTrip{"SurrogatePair", "\xF0\x9D\x84\x9E", {0xD834, 0xDD1E}},
                      RoundTrip{"HighestCodePoint", "\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},
                      RoundTrip{"EmbeddedNul", std::string("a\0b", 3), {'a', 0, 'b'}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadUtf8 {
  const char* name;
  std::string bytes;
};

void PrintTo(const BadUtf8& c, std::ostream* os) {
  *os << c.name;
}

class WideTextRejects : public ::testing::TestWithParam<BadUtf8> {};

TEST_P(WideTextRejects, InvalidUtf8) {
  try {
    odbc::ToSqlWide(GetParam().bytes);
    FAIL() << "accepted";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid UTF-8 text");
  }
}

INSTANTIATE_TEST_SUITE_P(Bytes, WideTextRejects,
                         ::testing::Values(BadUtf8{"Latin1", "Zo\xEB"},
                                           BadUtf8{"Truncated", "\xE2\x82"},
                                           BadUtf8{"Overlong", "\xC0\xAF"},
                                           BadUtf8{"Surrogate", "\xED\xA0\x80"},
                                           BadUtf8{"BeyondUnicode", "\xF4\x90\x80\x80"},
                                           BadUtf8{"LoneContinuation", "\x80"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WideTextTest, UnpairedSurrogatesBecomeReplacementCharacters) {
  const SQLWCHAR wide[] = {'a', 0xD834, 'b', 0xDD1E};
  EXPECT_EQ(odbc::FromSqlWide(wide, 4),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
}

// A driver writes what fits with a NUL and answers the bytes of the text it
// holds, or, misbehaving, any other count.
TEST(WideTextTest, ReadSqlWideAsksAgainForALongerTextAndStaysInItsBuffer) {
  const struct {
    const char* Name;
    std::size_t Held;      // units of text the driver holds
    std::size_t Answered;  // units it answers
    std::size_t Read;      // units read
    int Asks;
  } cases[] = {
      {"fits", 10, 10, 10, 1},
      {"no room for the NUL", 16, 16, 16, 2},
      {"far longer", 300, 300, 300, 2},
      {"answers more than it holds", 10, 500, 10, 2},
      {"holds more than it answers", 300, 100, 100, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    int asks = 0;
    const std::string read = odbc::ReadSqlWide(
        [&](SQLWCHAR* buffer, SQLINTEGER bytes) {
          ++asks;
          const std::size_t room = static_cast<std::size_t>(bytes) / sizeof(SQLWCHAR);
          const std::size_t written = std::min(c.Held, room - 1);
          std::fill(buffer, buffer + written, SQLWCHAR{'n'});
          buffer[written] = 0;
          return static_cast<SQLINTEGER>(c.Answered * sizeof(SQLWCHAR));
        },
        16);
    EXPECT_EQ(read, std::string(c.Read, 'n'));
    EXPECT_EQ(asks, c.Asks);
  }
}

}  // namespace
