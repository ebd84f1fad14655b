// How a message names a place the configuration search looked at on a POSIX
// host: its path, and where a link along its folder leads, on real folders
// and links.
#include "platform/place_name.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <regex>
#include <string>

#include "platform/posix_path.h"
#include "scratch_dir.h"

namespace {

namespace fs = std::filesystem;

struct PlaceCase {
  const char* name;
  // Lays the case out in the scratch folder `ADir`, the current directory.
  void (*layOut)(const fs::path& ADir);
  // "<dir>" stands for the scratch folder: in `place` in Windows form, in
  // `shown` as its POSIX path.
  const char* place;
  const char* shown;
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
  *os << c.name;
}

void Nothing(const fs::path&) {}

void EtcFolder(const fs::path& ADir) {
  fs::create_directories(ADir / "etc" / "Vantor.Cfg");
  fs::create_directories(ADir / "site");
}

class PlaceNameTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceNameTest, IsThePathAndWhereItsFolderLeads) {
  const platform_test::ScratchDir dir;
  const platform_test::CurrentDirectory inside(dir.Path());
  GetParam().layOut(dir.Path());
  const std::string place = std::regex_replace(GetParam().place, std::regex("<dir>"),
                                               platform::WindowsPathFromPosix(dir.Path().string()));
  const std::string shown =
      std::regex_replace(GetParam().shown, std::regex("<dir>"), dir.Path().string());
  EXPECT_EQ(platform::PlaceNameOnHost(place), shown);
}

INSTANTIATE_TEST_SUITE_P(
    Places, PlaceNameTest,
    ::testing::Values(
        PlaceCase{"Folder",
                  [](const fs::path& ADir) { fs::create_directories(ADir / "site/Vantor.Cfg"); },
                  "<dir>\\site\\Vantor.Cfg\\Vantor.ini", "<dir>/site/Vantor.Cfg/Vantor.ini"},
        PlaceCase{"NoFolder", Nothing, "<dir>\\site\\Vantor.Cfg\\Vantor.ini",
                  "<dir>/site/Vantor.Cfg/Vantor.ini"},
        PlaceCase{"LinkedFolder",
                  [](const fs::path& ADir) {
                    EtcFolder(ADir);
                    fs::create_directory_symlink(ADir / "etc/Vantor.Cfg", "site/Vantor.Cfg");
                  },
                  "<dir>\\site\\Vantor.Cfg\\Vantor.ini",
                  "<dir>/site/Vantor.Cfg/Vantor.ini (<dir>/etc/Vantor.Cfg/Vantor.ini)"},
        PlaceCase{"LinkRelativeToItsFolder",
                  [](const fs::path& ADir) {
                    EtcFolder(ADir);
                    fs::create_directory_symlink("../etc/./Vantor.Cfg", "site/Vantor.Cfg");
                  },
                  "<dir>\\site\\Vantor.Cfg\\Vantor.ini",
                  "<dir>/site/Vantor.Cfg/Vantor.ini (<dir>/etc/Vantor.Cfg/Vantor.ini)"},
        PlaceCase{"LinkToALink",
                  [](const fs::path& ADir) {
                    EtcFolder(ADir);
                    fs::create_directory_symlink("etc/Vantor.Cfg", "hop");
                    fs::create_directory_symlink("../hop", "site/Vantor.Cfg");
                  },
                  "<dir>\\site\\Vantor.Cfg\\Vantor.ini",
                  "<dir>/site/Vantor.Cfg/Vantor.ini (<dir>/etc/Vantor.Cfg/Vantor.ini)"},
        // ".." after a link goes up from where the link leads, as the kernel
        // takes it.
        PlaceCase{"UpFromALink",
                  [](const fs::path& ADir) {
                    fs::create_directories(ADir / "deep/down/cfg");
                    fs::create_directories(ADir / "site");
                    fs::create_directory_symlink(ADir / "deep/down/cfg", "site/up");
                  },
                  "<dir>\\site\\up\\..\\Vantor.Cfg\\Vantor.ini",
                  "<dir>/site/up/../Vantor.Cfg/Vantor.ini (<dir>/deep/down/Vantor.Cfg/Vantor.ini)"},
        PlaceCase{"LinkToNothing",
                  [](const fs::path& ADir) {
                    fs::create_directories(ADir / "site");
                    fs::create_directory_symlink(ADir / "gone/Vantor.Cfg", "site/Vantor.Cfg");
                  },
                  "<dir>\\site\\Vantor.Cfg\\Vantor.ini",
                  "<dir>/site/Vantor.Cfg/Vantor.ini (<dir>/gone/Vantor.Cfg/Vantor.ini)"},
        PlaceCase{"LinkedAncestor",
                  [](const fs::path& ADir) {
                    fs::create_directories(ADir / "real/site/Vantor.Cfg");
                    fs::create_directory_symlink("real/site", "site");
                  },
                  "<dir>\\site\\Vantor.Cfg\\Vantor.ini",
                  "<dir>/site/Vantor.Cfg/Vantor.ini (<dir>/real/site/Vantor.Cfg/Vantor.ini)"},
        // The search finds the folder in any letter case, so its link counts.
        PlaceCase{"LinkInAnotherCase",
                  [](const fs::path& ADir) {
                    EtcFolder(ADir);
                    fs::create_directory_symlink(ADir / "etc/Vantor.Cfg", "site/vantor.cfg");
                  },
                  "<dir>\\SITE\\Vantor.Cfg\\Vantor.ini",
                  "<dir>/SITE/Vantor.Cfg/Vantor.ini (<dir>/etc/Vantor.Cfg/Vantor.ini)"},
        PlaceCase{"FolderInAnotherCase",
                  [](const fs::path& ADir) { fs::create_directories(ADir / "site/Vantor.Cfg"); },
                  "<dir>\\SITE\\vantor.cfg\\Vantor.ini", "<dir>/SITE/vantor.cfg/Vantor.ini"},
        PlaceCase{"LinksInALoop",
                  [](const fs::path& ADir) {
                    fs::create_directories(ADir / "site");
                    fs::create_directory_symlink("../other", "site/Vantor.Cfg");
                    fs::create_directory_symlink("site/Vantor.Cfg", "other");
                  },
                  "<dir>\\site\\Vantor.Cfg\\Vantor.ini", "<dir>/site/Vantor.Cfg/Vantor.ini"},
        PlaceCase{"RelativeLinkedFolder",
                  [](const fs::path& ADir) {
                    EtcFolder(ADir);
                    fs::create_directory_symlink("etc/Vantor.Cfg", "Vantor.Cfg");
                  },
                  "Vantor.Cfg\\Vantor.ini",
                  "Vantor.Cfg/Vantor.ini (<dir>/etc/Vantor.Cfg/Vantor.ini)"},
        PlaceCase{"InTheCurrentDirectory", Nothing, "Rovane.ini", "Rovane.ini"},
        PlaceCase{"AtTheRoot", Nothing, "C:\\Vantor.ini", "/Vantor.ini"},
        PlaceCase{"NetworkName", Nothing, "\\\\server\\share\\Vantor.Cfg\\Vantor.ini",
                  "\\\\server\\share\\Vantor.Cfg\\Vantor.ini"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
