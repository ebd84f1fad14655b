// What Windows-form names mean on a POSIX host, on their own.
#include "platform/posix_path.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace {

struct MappingCase {
  const char* name;
  const char* windows;
  std::optional<std::string> posix;
};

void PrintTo(const MappingCase& c, std::ostream* os) {
  *os << c.windows;
}

class PosixPathTest : public ::testing::TestWithParam<MappingCase> {};

TEST_P(PosixPathTest, MapsWindowsName) {
  EXPECT_EQ(platform::PosixPathFromWindows(GetParam().windows), GetParam().posix);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PosixPathTest,
    ::testing::Values(
        MappingCase{"DriveCIsRoot", "C:\\Apps\\Vantor.Cfg\\Vantor.ini",
                    "/Apps/Vantor.Cfg/Vantor.ini"},
        MappingCase{"LowerCaseDrive", "c:\\x", "/x"}, MappingCase{"RootOfC", "C:\\", "/"},
        MappingCase{"DriveD", "D:\\Vantor.Cfg\\Vantor.ini", "/mnt/d/Vantor.Cfg/Vantor.ini"},
        MappingCase{"DriveZLowerCase", "z:\\a", "/mnt/z/a"},
        MappingCase{"SlashesSeparateToo", "D:/x/y\\z", "/mnt/d/x/y/z"},
        MappingCase{"DoubledSeparatorsCountOnce", "C:\\a\\\\b", "/a/b"},
        MappingCase{"TrailingSeparatorStays", "C:\\a\\", "/a/"},
        MappingCase{"RootedWithoutDriveIsOnC", "\\Vantor.Cfg\\Vantor.ini",
                    "/Vantor.Cfg/Vantor.ini"},
        MappingCase{"RelativeStaysRelative", "Vantor.Cfg\\Vantor.ini", "Vantor.Cfg/Vantor.ini"},
        MappingCase{"DotDotKept", "..\\x\\.\\y", "../x/./y"},
        MappingCase{"NonAsciiKept", "C:\\Übung\\ß", "/Übung/ß"},
        MappingCase{"FloppyA", "A:\\Vantor.Cfg\\Vantor.ini", std::nullopt},
        MappingCase{"FloppyB", "b:\\x", std::nullopt},
        MappingCase{"NetworkName", "\\\\server\\share\\Vantor.ini", std::nullopt},
        MappingCase{"NetworkNameWithSlashes", "//server/share/Vantor.ini", std::nullopt},
        MappingCase{"DriveRelative", "C:Vantor.ini", std::nullopt},
        MappingCase{"BareDrive", "D:", std::nullopt},
        // The same-drive candidate of a program started from a network path.
        MappingCase{"ColonAfterRoot", "\\:\\Vantor.Cfg\\Vantor.ini", std::nullopt},
        MappingCase{"NoDriveBeforeColon", ":\\Vantor.Cfg\\Vantor.ini", std::nullopt},
        MappingCase{"NonAsciiBeforeColon", "Ü:\\x", std::nullopt},
        MappingCase{"Wildcard", "C:\\Vantor.Cfg\\*.ini", std::nullopt},
        MappingCase{"Pipe", "C:\\a|b", std::nullopt},
        MappingCase{"ControlCharacter", "C:\\a\tb", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DriveDirectoryTest, CIsRootAndDToZUnderMnt) {
  EXPECT_EQ(platform::DriveDirectory('C'), "/");
  EXPECT_EQ(platform::DriveDirectory('c'), "/");
  EXPECT_EQ(platform::DriveDirectory('D'), "/mnt/d");
  EXPECT_EQ(platform::DriveDirectory('z'), "/mnt/z");
  EXPECT_EQ(platform::DriveDirectory('A'), "");
  EXPECT_EQ(platform::DriveDirectory('B'), "");
  EXPECT_EQ(platform::DriveDirectory('1'), "");
}

TEST(WindowsPathFromPosixTest, PutsTheTreeOnC) {
  EXPECT_EQ(platform::WindowsPathFromPosix("/usr/bin/jail"), "C:\\usr\\bin\\jail");
  EXPECT_EQ(platform::PosixPathFromWindows(platform::WindowsPathFromPosix("/opt/a b/ü")),
            "/opt/a b/ü");
}

}  // namespace
