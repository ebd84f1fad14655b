// Names compared without regard to letter case, as Windows compares them.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/case_insensitive_path.h"

namespace {

struct NameCase {
  const char* name;
  std::string a;
  std::string b;
  bool same;
};

void PrintTo(const NameCase& c, std::ostream* os) {
  *os << '"' << c.a << "\" vs \"" << c.b << '"';
}

class SameNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(SameNameTest, ComparesWholeCharactersUpperCased) {
  const NameCase& c = GetParam();
  EXPECT_EQ(platform::SameNameIgnoringCase(c.a, c.b), c.same);
  EXPECT_EQ(platform::SameNameIgnoringCase(c.b, c.a), c.same);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SameNameTest,
    ::testing::Values(NameCase{"AsciiLetters", "Vantor.ini", "VANTOR.INI", true},
                      NameCase{"DigitsAndPunctuationExact", "a-1.ini", "A-1.INI", true},
                      NameCase{"NotLettersNotFolded", "a[", "A{", false},
                      NameCase{"LatinOne", "Übung.ini", "übung.INI", true},
                      NameCase{"Greek", "αβγ", "ΑΒΓ", true},
                      NameCase{"Cyrillic", "журнал", "ЖУРНАЛ", true},
                      NameCase{"PrefixOnly", "Vantor.ini", "Vantor.in", false},
                      NameCase{"DifferentLetters", "Vantor.ini", "Rovane.ini", false},
                      NameCase{"Empty", "", "", true},
                      // Names that are not UTF-8 match only byte for byte.
                      NameCase{"StrayByteEqual", "a\xff", "A\xff", true},
                      NameCase{"StrayBytesDiffer", "a\xfe", "a\xff", false},
                      NameCase{"TruncatedSequenceIsNoCharacter", "\xc3", "\xc3\x9c", false},
                      NameCase{"StrayLatinOneByteIsNotItsLetter", "\xfc", "\xc3\x9c", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
