// Full path names made by GetFullPathNameW against a real current directory,
// and the network form WNetGetUniversalNameW gives (none for a local drive).
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "platform/full_path_name.h"
#include "platform/universal_name.h"
#include "scratch_dir.h"
#include "win32_host.h"

namespace {

using platform_test::CurrentDirectory;
using platform_test::ScratchDir;

struct FullPathCase {
  const char* name;
  std::string file;
  std::string full;  // "." stands for the current directory
};

void PrintTo(const FullPathCase& c, std::ostream* os) {
  *os << c.file;
}

class Win32FullPathNameTest : public ::testing::TestWithParam<FullPathCase> {};

TEST_P(Win32FullPathNameTest, IsAbsoluteAndResolved) {
  const ScratchDir dir;
  const CurrentDirectory inside(dir.Path());
  const std::string current = dir.Path().string();
  std::string expected = GetParam().full;
  if (expected.starts_with(".")) expected = current + expected.substr(1);
  const std::string drive = current.substr(0, 2);
  if (expected.starts_with("D:")) expected = drive + expected.substr(2);

  EXPECT_EQ(platform::FullPathName(GetParam().file), expected);
}

// "D:" in a full name stands for the current directory's drive.
INSTANTIATE_TEST_SUITE_P(
    Names, Win32FullPathNameTest,
    ::testing::Values(FullPathCase{"Relative", "Vantor.Cfg\\Lib", ".\\Vantor.Cfg\\Lib"},
                      FullPathCase{"DotDot", "x\\..\\y\\.\\z", ".\\y\\z"},
                      FullPathCase{"Slashes", "a/b/c", ".\\a\\b\\c"},
                      FullPathCase{"TrailingSeparatorStays", "Lib\\", ".\\Lib\\"},
                      FullPathCase{"RootedTakesTheCurrentDrive", "\\Lib", "D:\\Lib"},
                      FullPathCase{"NeverAboveTheDrive", "C:\\a\\..\\..\\b", "C:\\b"},
                      FullPathCase{"NeverAboveTheShare", "\\\\srv\\share\\..\\..\\x",
                                   "\\\\srv\\share\\x"},
                      FullPathCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Win32FullPathNameTest, ADriveRelativeNameOnAnotherDriveStartsAtItsRoot) {
  const std::string drive = std::string(1, platform_test::AbsentDriveLetter()) + ":";
  EXPECT_EQ(platform::FullPathName(drive + "Lib"), drive + "\\Lib");
}

TEST(Win32UniversalNameTest, ALocalDriveHasNoNetworkName) {
  const ScratchDir dir;
  EXPECT_EQ(platform::UniversalName(dir.Path().string()), std::nullopt);
  EXPECT_EQ(platform::UniversalName("C:\\"), std::nullopt);
  const std::string absent = std::string(1, platform_test::AbsentDriveLetter()) + ":\\Lib";
  EXPECT_EQ(platform::UniversalName(absent), std::nullopt);
  EXPECT_EQ(platform::UniversalName(std::string("C:\\a\0b", 6)), std::nullopt);
}

}  // namespace
