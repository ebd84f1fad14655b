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

struct PosixNameCase {
  const char* name;
  const char* posix;
  const char* windows;
};

void PrintTo(const PosixNameCase& c, std::ostream* os) {
  *os << c.posix;
}

class WindowsPathFromPosixTest : public ::testing::TestWithParam<PosixNameCase> {};

// Each POSIX path gets the Windows name that maps back to it, so a program
// or file under /mnt/<letter> is on its own drive, not in a folder of C:.
TEST_P(WindowsPathFromPosixTest, MapsBackToThePath) {
  const PosixNameCase& c = GetParam();
  EXPECT_EQ(platform::WindowsPathFromPosix(c.posix), c.windows);
  EXPECT_EQ(platform::PosixPathFromWindows(c.windows), c.posix);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, WindowsPathFromPosixTest,
    ::testing::Values(
        PosixNameCase{"TreeOnC", "/usr/bin/jail", "C:\\usr\\bin\\jail"},
        PosixNameCase{"Root", "/", "C:\\"},
        PosixNameCase{"BlankAndNonAscii", "/opt/a b/ü", "C:\\opt\\a b\\ü"},
        PosixNameCase{"DriveE", "/mnt/e/Apps/VANTOR.APP/Jail/x", "E:\\Apps\\VANTOR.APP\\Jail\\x"},
        PosixNameCase{"DriveD", "/mnt/d/Vantor.Cfg/Vantor.ini", "D:\\Vantor.Cfg\\Vantor.ini"},
        PosixNameCase{"DriveZ", "/mnt/z/a", "Z:\\a"},
        PosixNameCase{"RootOfADrive", "/mnt/e/", "E:\\"},
        PosixNameCase{"MntItselfIsOnC", "/mnt/", "C:\\mnt\\"},
        // No drive stands for these: C: is "/", A: and B: are nowhere, and
        // the drive folders are lower case only.
        PosixNameCase{"MntCIsAFolderOnC", "/mnt/c/x", "C:\\mnt\\c\\x"},
        PosixNameCase{"MntAIsAFolderOnC", "/mnt/a/x", "C:\\mnt\\a\\x"},
        PosixNameCase{"UpperCaseIsAFolderOnC", "/mnt/E/x", "C:\\mnt\\E\\x"},
        PosixNameCase{"LongerNameIsAFolderOnC", "/mnt/ef/x", "C:\\mnt\\ef\\x"}),
    [](const auto& info) { return std::string(info.param.name); });

// The drive folder without a separator after it is the drive's root.
TEST(WindowsPathFromPosixDriveTest, BareDriveFolderIsItsRoot) {
  EXPECT_EQ(platform::WindowsPathFromPosix("/mnt/e"), "E:\\");
}

}  // namespace
