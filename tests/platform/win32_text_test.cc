// Text across the Win32 border: UTF-8 to UTF-16 and back, the ANSI code page
// GetACP names (1252, Western European, under wine with an English or C
// locale), and names compared as the user's locale compares them.
#include "platform/win32_text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>

#include "platform/ansi_decoding.h"
#include "platform/ansi_text.h"
#include "platform/text_case.h"

namespace {

TEST(Win32TextTest, Utf16CarriesEveryCharacterAndMarksBrokenText) {
  const std::string text = "Zo\xC3\xAB \xE2\x82\xAC \xE4\xB8\xAD \xF0\x9D\x84\x9E";  // Zoë € 中 𝄞
  EXPECT_EQ(platform::WideFromUtf8(text), L"Zo\x00EB \x20AC \x4E2D \xD834\xDD1E");
  EXPECT_EQ(platform::Utf8FromWide(platform::WideFromUtf8(text)), text);
  EXPECT_EQ(platform::WideFromUtf8("a\xFF"
                                   "b"),
            L"a\xFFFD"
            L"b");
  EXPECT_EQ(platform::Utf8FromWide(L"a\xD834"
                                   L"b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(platform::WideFromUtf8(""), L"");
}

struct AnsiCase {
  const char* name;
  std::string text;   // UTF-8
  std::string bytes;  // in code page 1252
};

void PrintTo(const AnsiCase& c, std::ostream* os) {
  *os << c.name;
}

class AnsiCodePage1252Test : public ::testing::TestWithParam<AnsiCase> {
 protected:
  void SetUp() override {
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
  }
};

TEST_P(AnsiCodePage1252Test, WritesTheCodePagesBytes) {
  EXPECT_FALSE(platform::AnsiCodePageIsUtf8());
  EXPECT_EQ(platform::AnsiFromUtf8(GetParam().text), GetParam().bytes);
}

// Windows would write "O" for "Ω" and "L" for "Ł" unless told not to guess.
INSTANTIATE_TEST_SUITE_P(
    Cases, AnsiCodePage1252Test,
    ::testing::Values(AnsiCase{"Empty", "", ""},
                      AnsiCase{"AsciiAndLineEnds", "a\r\nb\r\n", "a\r\nb\r\n"},
                      AnsiCase{"Latin1Letters", "Zo\xC3\xAB Jos\xC3\xA9", "Zo\xEB Jos\xE9"},
                      AnsiCase{"EuroAndQuotesAbove0x7F", "\xE2\x82\xAC \xE2\x80\x99", "\x80 \x92"},
                      AnsiCase{"GreekIsNotGuessed", "\xCE\xA9", "?"},
                      AnsiCase{"PolishIsNotGuessed", "\xC5\x81\xC3\xB3\x64\xC5\xBA", "?\xF3\x64?"},
                      AnsiCase{"LatinWithMacronIsNotGuessed", "\xC4\x80", "?"},
                      AnsiCase{"Cjk", "\xE4\xB8\xAD\xE6\x96\x87", "??"},
                      AnsiCase{"OneDefaultForACharacterBeyondU+FFFF", "\xF0\x9D\x84\x9E!", "?!"},
                      AnsiCase{"StrayBytes",
                               "a\xFF"
                               "b\xC3",
                               "a?b?"}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name) {
        if (c == '+') c = '_';
      }
      return name;
    });

TEST(AnsiCodePage1252DecodingTest, EveryDefinedByteComesBackAsItWas) {
  if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
  EXPECT_EQ(platform::Utf8FromAnsi("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");
  for (int byte = 1; byte < 256; ++byte) {
    // Code page 1252 leaves these five undefined.
    if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) continue;
    const std::string ansi(1, static_cast<char>(byte));
    EXPECT_EQ(platform::AnsiFromUtf8(platform::Utf8FromAnsi(ansi)), ansi) << byte;
  }
}

struct CaseCase {
  const char* a;
  const char* b;
  bool same;
};

void PrintTo(const CaseCase& c, std::ostream* os) {
  *os << c.a << " / " << c.b;
}

class Win32TextCaseTest : public ::testing::TestWithParam<CaseCase> {};

TEST_P(Win32TextCaseTest, ComparesWithoutCaseOnly) {
  EXPECT_EQ(platform::SameTextIgnoringCase(GetParam().a, GetParam().b), GetParam().same);
  EXPECT_EQ(platform::SameTextIgnoringCase(GetParam().b, GetParam().a), GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, Win32TextCaseTest,
    ::testing::Values(CaseCase{"DataProvider", "DATAPROVIDER", true}, CaseCase{"", "", true},
                      CaseCase{"Zo\xC3\xAB", "ZO\xC3\x8B", true},  // Zoë ZOË
                      CaseCase{"\xCE\xA9\xCE\xBC\xCE\xB1", "\xCF\x89\xCE\x9C\xCE\x91",
                               true},                                          // Ωμα ωΜΑ
                      CaseCase{"\xD0\x94\xD0\xB0", "\xD0\xB4\xD0\x90", true},  // Да дА
                      CaseCase{"Jos\xC3\xA9", "Jose", false},
                      CaseCase{"Data Source", "DataSource", false},
                      CaseCase{"ConnStr", "ConnStr ", false}, CaseCase{"A", "", false}));

}  // namespace
