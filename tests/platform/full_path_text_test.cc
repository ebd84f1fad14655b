// Full path names on hosts without drives: made absolute against a current
// directory given as text, with "." and ".." resolved.
#include "platform/full_path_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct PathCase {
  const char* name;
  const char* file_name;
  const char* current;
  const char* expected;
};

void PrintTo(const PathCase& c, std::ostream* os) {
  *os << c.name;
}

class FullPathTextTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(FullPathTextTest, ResolvesAgainstTheCurrentDirectory) {
  EXPECT_EQ(platform::FullPathFromCurrent(GetParam().file_name, GetParam().current),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FullPathTextTest,
    ::testing::Values(
        PathCase{"Absolute", "C:\\Vantor.Cfg\\Lib", "D:\\w", "C:\\Vantor.Cfg\\Lib"},
        PathCase{"ParentResolved", "C:\\Vantor.Cfg\\..\\Lib", "D:\\w", "C:\\Lib"},
        PathCase{"DotsDropped", "C:\\.\\a\\.\\b", "D:\\w", "C:\\a\\b"},
        PathCase{"ParentStopsAtRoot", "C:\\..\\..\\Lib", "D:\\w", "C:\\Lib"},
        PathCase{"TrailingSeparatorStays", "C:\\Vantor.Cfg\\", "D:\\w", "C:\\Vantor.Cfg\\"},
        PathCase{"DriveRoot", "C:\\", "D:\\w", "C:\\"},
        PathCase{"SlashesBecomeBackslashes", "C:/a//b", "D:\\w", "C:\\a\\b"},
        PathCase{"Relative", "Vantor.Cfg\\Lib", "C:\\tmp\\x", "C:\\tmp\\x\\Vantor.Cfg\\Lib"},
        PathCase{"RelativeParent", "..\\Lib", "C:\\tmp\\x", "C:\\tmp\\Lib"},
        PathCase{"RelativeFromRoot", "Lib", "C:\\", "C:\\Lib"},
        PathCase{"RootedTakesCurrentDrive", "\\Lib", "E:\\tmp", "E:\\Lib"},
        PathCase{"DriveRelativeOnCurrentDrive", "c:Lib", "C:\\tmp", "C:\\tmp\\Lib"},
        PathCase{"DriveRelativeOnOtherDrive", "D:Lib", "C:\\tmp", "D:\\Lib"},
        PathCase{"Network", "\\\\srv\\share\\a\\..\\b", "C:\\", "\\\\srv\\share\\b"},
        PathCase{"NetworkParentStopsAtShare", "\\\\srv\\share\\..\\b", "C:\\", "\\\\srv\\share\\b"},
        PathCase{"RelativeOnNetworkCurrent", "..\\..\\b", "\\\\srv\\share\\a",
                 "\\\\srv\\share\\b"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
