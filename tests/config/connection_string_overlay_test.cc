// Laying a component's overlay over the site's base connection string.
#include "config/connection_string_overlay.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "config/vantor_ini.h"

namespace {

struct OverlayCase {
  const char* name;
  const char* base;
  const char* overlay;
  const char* expected;
};

void PrintTo(const OverlayCase& c, std::ostream* os) {
  *os << c.name;
}

class OverlayTest : public ::testing::TestWithParam<OverlayCase> {};

TEST_P(OverlayTest, AppliesEachOverlayEntryInOrder) {
  const OverlayCase& c = GetParam();
  EXPECT_EQ(TVantorIni::ApplyConnectionStringOverlay(c.base, c.overlay), c.expected)
      << "base \"" << c.base << "\", overlay \"" << c.overlay << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, OverlayTest,
    ::testing::Values(
        OverlayCase{"EmptyOverlayKeepsAll", "A=1;Data Source=X;C=3", "", "A=1;Data Source=X;C=3"},
        OverlayCase{"ReplacesInPlaceInOverlaySpelling", "A=1;Data Source=X;C=3", "data source=Y",
                    "A=1;data source=Y;C=3"},
        OverlayCase{"AppendsNewName", "A=1;Data Source=X;C=3", "D=4", "A=1;Data Source=X;C=3;D=4"},
        OverlayCase{"EmptyValueRemoves", "A=1;Data Source=X;C=3", "C=", "A=1;Data Source=X"},
        OverlayCase{"RemoveThenReplace", "A=1;Data Source=X;C=3", "C=;A=9", "A=9;Data Source=X"},
        OverlayCase{"TrailingSeparatorDropped", "A=1;B=2;", "", "A=1;B=2"},
        OverlayCase{"DoubledSeparatorKeepsEmptyEntry", "A=1;;B=2", "D=4", "A=1;;B=2;D=4"},
        OverlayCase{"EmptyBaseIsOneEmptyEntry", "", "D=4", ";D=4"},
        OverlayCase{"FirstOverlayValueUsedTwice", "A=1", "A=2;A=3", "A=2"},
        OverlayCase{"RemovingAMissingNameDoesNothing", "A=1", "B=", "A=1"},
        OverlayCase{"NameEndsAtFirstEquals", "A=x=y", "A=z", "A=z"},
        OverlayCase{"EmptyOverlayEntryRemovesTheEmptyName", "=x;A=1", "", "A=1"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    MoreCases, OverlayTest,
    ::testing::Values(
        OverlayCase{"OnlyTheFirstBaseEntryOfANameChanges", "A=1;a=2", "A=3", "A=3;a=2"},
        OverlayCase{"OnlyTheFirstBaseEntryOfANameGoes", "A=1;a=2", "A=", "a=2"},
        OverlayCase{"EntryWithoutEqualsIsNeverFound", "A;B=2", "A=1", "A;B=2;A=1"},
        OverlayCase{"OverlayEntryWithoutEqualsRemovesTheEmptyName", "=1;A=2", "junk", "A=2"},
        OverlayCase{"ValuesAreNotTrimmed", "A=1", " A = 2 ", "A=1; A = 2 "},
        OverlayCase{"SemicolonCutsAValue", "A=1", "Password=a;b", "A=1;Password=a"},
        OverlayCase{"ValueKeepsItsEquals", "A=1", "A==2", "A==2"},
        OverlayCase{"LeadingSeparatorIsAnEmptyFirstEntry", ";A=1", "A=2", ";A=2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OverlayNamesTest, CompareWithoutCaseInEveryScript) {
  // Letters beyond A to Z fold too: the comparison is the system's, not ASCII's.
  EXPECT_EQ(TVantorIni::ApplyConnectionStringOverlay("Ärger=1;B=2", "äRGER=3"), "äRGER=3;B=2");
  EXPECT_EQ(TVantorIni::ApplyConnectionStringOverlay("Сервер=a;B=1", "сЕРВЕР=b"), "сЕРВЕР=b;B=1");
  EXPECT_EQ(TVantorIni::ApplyConnectionStringOverlay("Ωmega=1", "ωMEGA="), "");
}

}  // namespace
