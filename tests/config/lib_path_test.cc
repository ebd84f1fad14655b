// The library path expanded against the configuration file's name: the
// examples sites rely on, on a disk where S: is mapped to \\srv\share, and
// the component's own LibPath for a file found by a relative name.
#include "config/lib_path.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "config/ini_file_exception.h"
#include "config/vantor_ini.h"
#include "platform/full_path_name.h"
#include "platform/full_path_text.h"
#include "scratch_dir.h"
#include "site_disk.h"

namespace {

using platform_test::CurrentDirectory;
using platform_test::ScratchDir;

// The process's current directory is C:\Work.
std::string FullPath(const std::string& AName) {
  return platform::FullPathFromCurrent(AName, "C:\\Work");
}

// Only S: is a network drive.
std::optional<std::string> UniversalName(const std::string& APath) {
  if (APath.starts_with("S:\\")) return "\\\\srv\\share" + APath.substr(2);
  return std::nullopt;
}

struct LibPathCase {
  const char* name;
  const char* ini_file;
  const char* lib_path;
  const char* expected;
};

void PrintTo(const LibPathCase& c, std::ostream* os) {
  *os << c.name;
}

class LibPathTest : public ::testing::TestWithParam<LibPathCase> {};

TEST_P(LibPathTest, Expands) {
  const LibPathCase& c = GetParam();
  EXPECT_EQ(ExpandLibPath(c.lib_path, c.ini_file, FullPath, UniversalName), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, LibPathTest,
    ::testing::Values(
        LibPathCase{"DriveAbsoluteStays", "C:\\Vantor.Cfg\\Vantor.ini", "D:\\Lib", "D:\\Lib"},
        LibPathCase{"NetworkStays", "C:\\Vantor.Cfg\\Vantor.ini", "\\\\srv\\lib", "\\\\srv\\lib"},
        LibPathCase{"RootedTakesTheDrive", "C:\\Vantor.Cfg\\Vantor.ini", "\\Lib", "C:\\Lib"},
        LibPathCase{"RelativeToTheFolder", "C:\\Vantor.Cfg\\Vantor.ini", "Lib",
                    "C:\\Vantor.Cfg\\Lib"},
        LibPathCase{"ParentResolved", "C:\\Vantor.Cfg\\Vantor.ini", "..\\Lib", "C:\\Lib"},
        LibPathCase{"EmptyIsTheFolder", "C:\\Vantor.Cfg\\Vantor.ini", "", "C:\\Vantor.Cfg\\"},
        LibPathCase{"MappedDriveGivesTheShare", "S:\\Vantor.Cfg\\Vantor.ini", "Lib",
                    "\\\\srv\\share\\Vantor.Cfg\\Lib"},
        LibPathCase{"RootedOnMappedDriveKeepsTheLetter", "S:\\Vantor.Cfg\\Vantor.ini", "\\Lib",
                    "S:\\Lib"},
        LibPathCase{"DriveRelativeIsAbsolute", "C:\\Vantor.Cfg\\Vantor.ini", "D:Lib", "D:Lib"},
        LibPathCase{"OneCharacterIsRelative", "C:\\Vantor.Cfg\\Vantor.ini", "L",
                    "C:\\Vantor.Cfg\\L"},
        LibPathCase{"RootedOnNetworkFileTakesTheShare", "\\\\srv\\share\\Cfg\\Vantor.ini", "\\Lib",
                    "\\\\srv\\share\\Lib"},
        LibPathCase{"RelativeOnNetworkFile", "\\\\srv\\share\\Cfg\\Vantor.ini", "Lib",
                    "\\\\srv\\share\\Cfg\\Lib"},
        LibPathCase{"RelativeFileIsMadeFull", "Vantor.Cfg\\Vantor.ini", "Lib",
                    "C:\\Work\\Vantor.Cfg\\Lib"},
        LibPathCase{"RootedOnRelativeFileHasNoDrive", "Vantor.Cfg\\Vantor.ini", "\\Lib", "\\Lib"}),
    [](const auto& info) { return std::string(info.param.name); });

// The name the host's disk answers with for the relative name the search asks.
#if defined(_WIN32)
constexpr const char* kRelativeFound = "Vantor.Cfg\\Vantor.ini";
#else
constexpr const char* kRelativeFound = "Vantor.Cfg/Vantor.ini";
#endif

TEST(LibPathOnHostTest, ARelativeConfigurationFileStillGivesAFullPath) {
  // No "VANTOR.APP" in the program's folder: the search finds the file by
  // the relative name "Vantor.Cfg\Vantor.ini" in the current directory.
  ScratchDir site;
  site.AddFile("Vantor.Cfg/Vantor.ini", "[Paths]\nLibPath=..\\Lib\n");
  const CurrentDirectory inside(site.Path());
  const config_test::SiteDisk disk(site.Path(), "C:\\Tools\\Jail.exe");
  try {
    TVantorIni ini(nullptr, disk);
    FAIL() << "no error";
  } catch (const EIniFileException& e) {
    // The message shows the relative name the search gave.
    EXPECT_EQ(e.Message(), std::string("Database connection information not found in ") +
                               kRelativeFound + " (DataProvider.ConnStr)");
  }
  site.AddFile("Vantor.Cfg/Vantor.ini", "[Paths]\nLibPath=..\\Lib\n[DataProvider]\nConnStr=A=1\n");
  const TVantorIni ini(nullptr, disk);
  EXPECT_EQ(ini.VantorIni(), kRelativeFound);
  EXPECT_EQ(ini.LibPath(), platform::WindowsFormOfName(site.Path().string()) + "\\Lib");
}

}  // namespace
