// The text rules of the configuration file search: the product configuration
// folder derived from a program folder, Trim and the folder part.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "config/ini_file_location.h"
#include "config/path_text.h"

namespace {

struct TextCase {
  const char* name;
  const char* input;
  const char* expected;
};

void PrintTo(const TextCase& c, std::ostream* os) {
  *os << '"' << c.input << '"';
}

std::string CaseName(const ::testing::TestParamInfo<TextCase>& AInfo) {
  return AInfo.param.name;
}

class ConfigFolderFromPathTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ConfigFolderFromPathTest, DerivesConfigFolder) {
  EXPECT_EQ(ConfigFolderFromPath(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ConfigFolderFromPathTest,
    ::testing::Values(
        // The worked examples.
        TextCase{"MarkerFolderWithSubfolder", "C:\\Apps\\VANTOR.APP\\Jail\\",
                 "C:\\Apps\\Vantor.Cfg\\"},
        TextCase{"MarkerInMixedCase", "C:\\Apps\\Vantor.App\\", "C:\\Apps\\Vantor.Cfg\\"},
        TextCase{"NetworkPathInLowerCase", "\\\\server\\share\\vantor.app\\bin\\",
                 "\\\\server\\share\\Vantor.Cfg\\"},
        TextCase{"SlashesBecomeBackslashes", "D:/x/VANTOR.APP/", "D:\\x\\Vantor.Cfg\\"},
        TextCase{"MarkerInsideAFolderName", "C:\\MyVantor.Apps\\", "C:\\MyVantor.Cfg\\"},
        TextCase{"NoMarkerGivesRelativeFolder", "C:\\Tools\\", "Vantor.Cfg\\"},
        // And the rules behind them.
        TextCase{"FirstOfTwoMarkersDecides", "C:\\A\\vantor.app\\B\\VANTOR.APP\\",
                 "C:\\A\\Vantor.Cfg\\"},
        TextCase{"MarkerAtTheStart", "VANTOR.APP\\Jail\\", "Vantor.Cfg\\"},
        TextCase{"TrimmedFirst", " \t C:\\Apps\\VANTOR.APP\\\r\n", "C:\\Apps\\Vantor.Cfg\\"},
        TextCase{"PrefixKeepsItsCase", "c:\\aPPs\\Vantor.app\\", "c:\\aPPs\\Vantor.Cfg\\"},
        // "ı" upper-cases to the shorter "I"; the prefix must still be cut right.
        TextCase{"NonAsciiPrefixKept", "C:\\Übung\\ıŞ\\vantor.APP\\",
                 "C:\\Übung\\ıŞ\\Vantor.Cfg\\"},
        TextCase{"Empty", "", "Vantor.Cfg\\"}),
    CaseName);

class TrimTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(TrimTest, DropsBlanksAndControlsAtBothEnds) {
  EXPECT_EQ(Trim(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TrimTest,
    ::testing::Values(TextCase{"BlanksAndControls", " \t\r\n\x1f C:\\x\\ \x01", "C:\\x\\"},
                      TextCase{"InnerBlanksStay", "  a b  ", "a b"},
                      TextCase{"OnlyBlanks", " \t ", ""},
                      // Bytes of multi-byte characters are above 127, never trimmed.
                      TextCase{"NoBreakSpaceStays", "\u00a0x\u00a0", "\u00a0x\u00a0"},
                      TextCase{"DeleteStays",
                               "\x7f"
                               "x",
                               "\x7f"
                               "x"}),
    CaseName);

class FolderPartTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(FolderPartTest, KeepsUpToLastBackslashOrColon) {
  EXPECT_EQ(FolderPart(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FolderPartTest,
    ::testing::Values(TextCase{"FileInFolder", "C:\\Apps\\Jail.exe", "C:\\Apps\\"},
                      TextCase{"FolderEndingInBackslash", "C:\\Apps\\", "C:\\Apps\\"},
                      TextCase{"FolderWithoutBackslash", "C:\\Apps", "C:\\"},
                      TextCase{"DriveRelative", "C:Jail.exe", "C:"},
                      TextCase{"SlashIsNoSeparator", "D:/x/Jail.exe", "D:"},
                      TextCase{"BareName", "Jail.exe", ""},
                      TextCase{"NetworkName", "\\\\srv\\share\\Jail.exe", "\\\\srv\\share\\"}),
    CaseName);

}  // namespace
