// The POSIX host's disk on real directories: names in Windows form, matched
// without regard to case, links followed, folders refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>

#include "platform/disk.h"
#include "platform/posix_path.h"
#include "scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using platform_test::CurrentDirectory;
using platform_test::ScratchDir;

// A tree copied from a Windows site, with the oddities such copies have.
void BuildTree(const ScratchDir& ARoot) {
  ARoot.AddFile("Apps/Vantor.Cfg/Vantor.ini");
  ARoot.AddFile("lower/vantor.cfg/VANTOR.INI");
  fs::create_directories(ARoot.Path() / "Folder/Vantor.Cfg/Vantor.ini");
  fs::create_directories(ARoot.Path() / "Linked");
  fs::create_directory_symlink("../Apps/Vantor.Cfg", ARoot.Path() / "Linked/Vantor.Cfg");
  fs::create_directories(ARoot.Path() / "FileLink");
  fs::create_symlink("../Apps/Vantor.Cfg/Vantor.ini", ARoot.Path() / "FileLink/Vantor.ini");
  fs::create_directories(ARoot.Path() / "Dangling");
  fs::create_symlink("../nowhere/Vantor.ini", ARoot.Path() / "Dangling/Vantor.ini");
  fs::create_directories(ARoot.Path() / "FolderLink");
  fs::create_directory_symlink("../Folder/Vantor.Cfg/Vantor.ini",
                               ARoot.Path() / "FolderLink/Vantor.ini");
  ARoot.AddFile("Twins/vantor.ini");
  ARoot.AddFile("Twins/VANTOR.INI");
  ARoot.AddFile("Unicode/Übung/ärger.ini");
}

struct LookupCase {
  const char* name;
  const char* query;                 // Windows form, below the tree's root
  std::optional<std::string> found;  // POSIX form, below the tree's root
};

void PrintTo(const LookupCase& c, std::ostream* os) {
  *os << c.query;
}

// Each case is looked up by its absolute name and, from the tree's root, by
// its relative name.
class FindFileTest : public ::testing::TestWithParam<std::tuple<LookupCase, bool>> {};

TEST_P(FindFileTest, FindsFilesOnly) {
  const auto& [c, relative] = GetParam();
  ScratchDir root;
  BuildTree(root);
  const CurrentDirectory inside(root.Path());
  const std::string prefix = relative ? "" : root.Path().string() + "/";
  const std::string query = relative ? c.query : platform::WindowsPathFromPosix(prefix) + c.query;

  const std::optional<std::string> found = platform::SystemDisk().FindFile(query);

  if (c.found) {
    EXPECT_EQ(found, prefix + *c.found) << query;
  } else {
    EXPECT_EQ(found, std::nullopt) << query;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tree, FindFileTest,
    ::testing::Combine(
        ::testing::Values(
            LookupCase{"ExactCase", "Apps\\Vantor.Cfg\\Vantor.ini", "Apps/Vantor.Cfg/Vantor.ini"},
            LookupCase{"OtherCaseInEveryComponent", "APPS\\vantor.cfg\\VANTOR.INI",
                       "Apps/Vantor.Cfg/Vantor.ini"},
            LookupCase{"LowerCaseOnDisk", "Lower\\Vantor.Cfg\\Vantor.ini",
                       "lower/vantor.cfg/VANTOR.INI"},
            LookupCase{"SlashesToo", "lower/Vantor.Cfg/Vantor.ini", "lower/vantor.cfg/VANTOR.INI"},
            LookupCase{"DotDotPassesThrough", "Apps\\..\\LOWER\\vantor.cfg\\vantor.ini",
                       "Apps/../lower/vantor.cfg/VANTOR.INI"},
            LookupCase{"ExactCaseWinsOverOthers", "Twins\\vantor.ini", "Twins/vantor.ini"},
            LookupCase{"FirstInByteOrderOfSeveral", "Twins\\Vantor.ini", "Twins/VANTOR.INI"},
            LookupCase{"NonAsciiLettersFolded", "UNICODE\\übung\\ÄRGER.INI",
                       "Unicode/Übung/ärger.ini"},
            LookupCase{"LinkedFolderFollowed", "linked\\VANTOR.CFG\\Vantor.ini",
                       "Linked/Vantor.Cfg/Vantor.ini"},
            LookupCase{"LinkedFileFollowed", "FileLink\\vantor.ini", "FileLink/Vantor.ini"},
            LookupCase{"DanglingLinkIsNoFile", "Dangling\\Vantor.ini", std::nullopt},
            LookupCase{"FolderIsNoFile", "Folder\\Vantor.Cfg\\Vantor.ini", std::nullopt},
            LookupCase{"FolderInOtherCaseIsNoFile", "FOLDER\\vantor.cfg\\vantor.ini", std::nullopt},
            LookupCase{"LinkToFolderIsNoFile", "FolderLink\\Vantor.ini", std::nullopt},
            LookupCase{"Missing", "Apps\\Vantor.Cfg\\Rovane.ini", std::nullopt},
            LookupCase{"FileUsedAsFolder", "Apps\\Vantor.Cfg\\Vantor.ini\\x", std::nullopt},
            LookupCase{"FileNamedAsFolder", "Apps\\Vantor.Cfg\\Vantor.ini\\", std::nullopt},
            LookupCase{"NameWindowsForbids", "Apps\\Vantor.Cfg\\Vantor.in?", std::nullopt}),
        ::testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) +
             (std::get<1>(info.param) ? "Relative" : "Absolute");
    });

TEST(PosixDiskTest, ExecutableIsOnDriveCAndFoundByItsName) {
  const std::string name = platform::SystemDisk().ExecutableFileName();
  EXPECT_TRUE(name.starts_with("C:\\")) << name;
  EXPECT_EQ(platform::SystemDisk().FindFile(name), fs::read_symlink("/proc/self/exe").string());
}

}  // namespace
