// The Windows host's disk through the real Win32 calls: files found without
// regard to case, folders refused, held files counted, the program's own
// name, and the types of real drives.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>

#include "platform/disk.h"
#include "platform/win32_text.h"
#include "scratch_dir.h"
#include "win32_host.h"

namespace {

namespace fs = std::filesystem;
using platform::DriveType;
using platform_test::CurrentDirectory;
using platform_test::ScratchDir;

void BuildTree(const ScratchDir& ARoot) {
  ARoot.AddFile("Apps/Vantor.Cfg/Vantor.ini");
  fs::create_directories(ARoot.Path() / "Folder/Vantor.Cfg/Vantor.ini");
  ARoot.AddFile(
      "Unicode/\xC3\x9C"
      "bung/\xC3\xA4rger.ini");  // Übung/ärger.ini
}

struct LookupCase {
  const char* name;
  const char* query;  // below the tree's root
  bool found;         // FindFile answers with the query's own name
};

void PrintTo(const LookupCase& c, std::ostream* os) {
  *os << c.query;
}

// Each case is looked up by its absolute name and, from the tree's root, by
// its relative name.
class Win32FindFileTest : public ::testing::TestWithParam<std::tuple<LookupCase, bool>> {};

TEST_P(Win32FindFileTest, FindsFilesOnly) {
  const auto& [c, relative] = GetParam();
  ScratchDir root;
  BuildTree(root);
  const CurrentDirectory inside(root.Path());
  const std::string query = relative ? c.query : root.Path().string() + "\\" + c.query;

  const std::optional<std::string> found = platform::SystemDisk().FindFile(query);

  if (c.found) {
    EXPECT_EQ(found, query);
  } else {
    EXPECT_EQ(found, std::nullopt) << query;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tree, Win32FindFileTest,
    ::testing::Combine(
        ::testing::Values(
            LookupCase{"ExactCase", "Apps\\Vantor.Cfg\\Vantor.ini", true},
            LookupCase{"OtherCaseInEveryComponent", "APPS\\vantor.cfg\\VANTOR.INI", true},
            LookupCase{"SlashesToo", "apps/Vantor.Cfg/vantor.ini", true},
            LookupCase{"DotDotPassesThrough", "Folder\\..\\Apps\\Vantor.Cfg\\Vantor.ini", true},
            LookupCase{"NonAsciiLettersFolded",
                       "UNICODE\\\xC3\xBC"
                       "bung\\\xC3\x84RGER.INI",
                       true},
            LookupCase{"FolderIsNoFile", "Folder\\Vantor.Cfg\\Vantor.ini", false},
            LookupCase{"FolderInOtherCaseIsNoFile", "FOLDER\\vantor.cfg\\vantor.ini", false},
            LookupCase{"Missing", "Apps\\Vantor.Cfg\\Rovane.ini", false},
            LookupCase{"MissingFolder", "Nowhere\\Vantor.ini", false},
            LookupCase{"FileUsedAsFolder", "Apps\\Vantor.Cfg\\Vantor.ini\\x", false},
            LookupCase{"FileNamedAsFolder", "Apps\\Vantor.Cfg\\Vantor.ini\\", false},
            LookupCase{"Wildcard", "Apps\\Vantor.Cfg\\Vantor.in?", false},
            LookupCase{"WildcardStar", "Apps\\Vantor.Cfg\\*.ini", false},
            LookupCase{"NameWindowsForbids", "Apps\\Vantor.Cfg\\Vantor|ini", false}),
        ::testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) +
             (std::get<1>(info.param) ? "Relative" : "Absolute");
    });

TEST(Win32DiskTest, AFileAnotherProgramHoldsWithoutSharingStillCounts) {
  const ScratchDir root;
  root.AddFile("Vantor.ini", "[DataProvider]\n");
  const std::string name = (root.Path() / "Vantor.ini").string();
  const HANDLE held =
      CreateFileW(platform::WideFromUtf8(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(platform::SystemDisk().FindFile(name), name);
  CloseHandle(held);
}

TEST(Win32DiskTest, ANameHoldingANulCharacterNamesNoFile) {
  const ScratchDir root;
  root.AddFile("Vantor.ini");
  const std::string name = (root.Path() / "Vantor.ini").string();
  EXPECT_EQ(platform::SystemDisk().FindFile(name + std::string(1, '\0') + "x"), std::nullopt);
}

TEST(Win32DiskTest, TheProgramsOwnNameIsAFullNameOfThisFile) {
  const std::string name = platform::SystemDisk().ExecutableFileName();
  EXPECT_EQ(name.substr(1, 2), ":\\") << name;
  EXPECT_TRUE(name.ends_with("\\platform_win32_test.exe")) << name;
  EXPECT_EQ(platform::SystemDisk().FindFile(name), name);
  if (platform_test::RunningUnderWine()) {
    EXPECT_EQ(name, platform_test::WineNameOf(PLATFORM_WIN32_TEST_EXE));
  }
}

struct DriveCase {
  const char* name;
  const char* root;
  DriveType type;
};

void PrintTo(const DriveCase& c, std::ostream* os) {
  *os << c.name;
}

class Win32DriveTypeTest : public ::testing::TestWithParam<DriveCase> {};

TEST_P(Win32DriveTypeTest, IsTheSystemsType) {
  EXPECT_EQ(platform::SystemDisk().DriveTypeOf(GetParam().root), GetParam().type);
}

// C: is fixed on every Windows; wine adds its Z:, the POSIX host's root.
INSTANTIATE_TEST_SUITE_P(EveryHost, Win32DriveTypeTest,
                         ::testing::Values(DriveCase{"C", "C:\\", DriveType::kFixed},
                                           DriveCase{"LowerCaseC", "c:\\", DriveType::kFixed}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Win32DriveTypeTest, ALetterWithoutADriveHasNoRootDirectory) {
  const std::string root = std::string(1, platform_test::AbsentDriveLetter()) + ":\\";
  EXPECT_EQ(platform::SystemDisk().DriveTypeOf(root), DriveType::kNoRootDir) << root;
  EXPECT_EQ(platform::SystemDisk().DriveTypeOf("1:\\"), DriveType::kNoRootDir);
}

TEST(Win32DriveTypeTest, WinesZIsTheFixedRootOfThePosixHost) {
  if (!platform_test::RunningUnderWine()) GTEST_SKIP() << "not under wine";
  EXPECT_EQ(platform::SystemDisk().DriveTypeOf("Z:\\"), DriveType::kFixed);
  EXPECT_TRUE(platform::SystemDisk().FindFile(platform_test::WineNameOf("/etc/passwd")));
}

TEST(Win32DriveTypeTest, EveryKindOfDriveIsToldApart) {
  if (!platform_test::HasTestDrives()) GTEST_SKIP() << "the wine prefix has no test drives";
  EXPECT_EQ(platform::SystemDisk().DriveTypeOf("Q:\\"), DriveType::kCdRom);
  EXPECT_EQ(platform::SystemDisk().DriveTypeOf("R:\\"), DriveType::kRemote);
  EXPECT_EQ(platform::SystemDisk().DriveTypeOf("S:\\"), DriveType::kRemovable);
  EXPECT_EQ(platform::SystemDisk().DriveTypeOf("T:\\"), DriveType::kFixed);
}

}  // namespace
