// The configuration file search on Windows' real disk (under wine, a prefix
// whose Q: is a CD-ROM, R: a network drive, S: removable and T: fixed, see
// tests/platform/wine_drives.sh): the program's folder first, then its own
// drive, then the drive scan as GetDriveTypeW reports the drives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "config/ini_file_exception.h"
#include "config/ini_file_location.h"
#include "config/vantor_ini.h"
#include "scratch_dir.h"
#include "win32_host.h"

namespace {

namespace fs = std::filesystem;
using platform_test::CurrentDirectory;
using platform_test::ScratchDir;

constexpr const char* kDriveRoots[] = {"C:\\", "Q:\\", "R:\\", "S:\\", "T:\\"};

// "{site}" in a case's names stands for a scratch directory on C:, which is
// the current directory while the search runs.
std::string OnSite(std::string AName, const ScratchDir& ASite) {
  const std::string mark = "{site}";
  if (AName.starts_with(mark)) AName = ASite.Path().string() + AName.substr(mark.size());
  return AName;
}

struct DriveCase {
  const char* name;
  std::vector<std::string> files;  // ending in "\" for a folder of that name
  std::string program;             // empty: the search takes this test program's name
  std::string found;               // empty: nothing is found
};

void PrintTo(const DriveCase& c, std::ostream* os) {
  *os << c.name;
}

// Each case lays out its files, and the drive roots lose every Vantor.Cfg
// folder again afterwards, so that the next case scans clean drives.
class LocateOnDrivesTest : public ::testing::TestWithParam<DriveCase> {
 protected:
  void SetUp() override {
    if (!platform_test::HasTestDrives()) GTEST_SKIP() << "the wine prefix has no test drives";
    ClearDrives();
  }
  void TearDown() override { ClearDrives(); }

  static void ClearDrives() {
    for (const char* root : kDriveRoots) {
      std::error_code ignored;
      fs::remove_all(fs::path(root) / "Vantor.Cfg", ignored);
    }
  }

  ScratchDir FSite;
};

TEST_P(LocateOnDrivesTest, FindsTheFirstCandidateThere) {
  const DriveCase& c = GetParam();
  for (const std::string& file : c.files) {
    const fs::path path = OnSite(file, FSite);
    if (file.ends_with("\\")) {
      fs::create_directories(path);
    } else {
      fs::create_directories(path.parent_path());
      std::ofstream(path) << "[DataProvider]\n";
    }
  }
  const CurrentDirectory inside(FSite.Path());

  if (c.found.empty()) {
    try {
      const std::string found = LocateIniFile(OnSite(c.program, FSite));
      ADD_FAILURE() << "found " << found;
    } catch (const EIniFileException& e) {
      EXPECT_EQ(e.Message(), "Vantor.ini not found.");
    }
  } else {
    EXPECT_EQ(LocateIniFile(OnSite(c.program, FSite)), OnSite(c.found, FSite));
  }
}

// Programs on Z:\nowhere have no configuration folder and none on their
// drive (the POSIX host's root), so only the scan can find a file for them.
INSTANTIATE_TEST_SUITE_P(
    Layouts, LocateOnDrivesTest,
    ::testing::Values(
        DriveCase{"ProductFolder",
                  {"{site}\\Apps\\Vantor.Cfg\\Vantor.ini", "T:\\Vantor.Cfg\\Vantor.ini"},
                  "{site}\\Apps\\VANTOR.APP\\Jail\\Jail.exe",
                  "{site}\\Apps\\Vantor.Cfg\\Vantor.ini"},
        DriveCase{"ProductFolderInOtherCaseOnDisk",
                  {"{site}\\apps\\VANTOR.CFG\\vantor.ini"},
                  "{site}\\Apps\\vantor.app\\Jail.exe",
                  "{site}\\Apps\\Vantor.Cfg\\Vantor.ini"},
        DriveCase{"MobileFileWins",
                  {"{site}\\Apps\\VANTOR.APP\\Rovane.ini", "{site}\\Apps\\Vantor.Cfg\\Vantor.ini"},
                  "{site}\\Apps\\VANTOR.APP\\Jail.exe",
                  "{site}\\Apps\\VANTOR.APP\\Rovane.ini"},
        DriveCase{"NoMarkerLooksInTheCurrentDirectory",
                  {"{site}\\Vantor.Cfg\\Vantor.ini", "T:\\Vantor.Cfg\\Vantor.ini"},
                  "Z:\\nowhere\\Tools\\Jail.exe",
                  "Vantor.Cfg\\Vantor.ini"},
        DriveCase{"TheProgramsOwnDriveBeforeTheScan",
                  {"C:\\Vantor.Cfg\\Vantor.ini", "T:\\Vantor.Cfg\\Vantor.ini"},
                  "T:\\Tools\\Jail.exe",
                  "T:\\Vantor.Cfg\\Vantor.ini"},
        DriveCase{"ScanStartsAtC",
                  {"C:\\Vantor.Cfg\\Vantor.ini", "T:\\Vantor.Cfg\\Vantor.ini"},
                  "Z:\\nowhere\\Tools\\Jail.exe",
                  "C:\\Vantor.Cfg\\Vantor.ini"},
        DriveCase{"ScanSkipsCdRomAndRemovableDrives",
                  {"Q:\\Vantor.Cfg\\Vantor.ini", "S:\\Vantor.Cfg\\Vantor.ini",
                   "T:\\Vantor.Cfg\\Vantor.ini"},
                  "Z:\\nowhere\\Tools\\Jail.exe",
                  "T:\\Vantor.Cfg\\Vantor.ini"},
        DriveCase{"ScanTakesNetworkDrives",
                  {"R:\\Vantor.Cfg\\Vantor.ini", "T:\\Vantor.Cfg\\Vantor.ini"},
                  "Z:\\nowhere\\Tools\\Jail.exe",
                  "R:\\Vantor.Cfg\\Vantor.ini"},
        DriveCase{"AFolderNamedVantorIniDoesNotEndTheScan",
                  {"R:\\Vantor.Cfg\\Vantor.ini\\", "T:\\Vantor.Cfg\\Vantor.ini"},
                  "Z:\\nowhere\\Tools\\Jail.exe",
                  "T:\\Vantor.Cfg\\Vantor.ini"},
        DriveCase{"OnlyOnSkippedDrivesIsNotFound",
                  {"Q:\\Vantor.Cfg\\Vantor.ini", "S:\\Vantor.Cfg\\Vantor.ini"},
                  "Z:\\nowhere\\Tools\\Jail.exe",
                  ""},
        DriveCase{"ANetworkPathProgramIsFoundByTheScan",
                  {"T:\\Vantor.Cfg\\Vantor.ini"},
                  "\\\\srv\\share\\Tools\\Jail.exe",
                  "T:\\Vantor.Cfg\\Vantor.ini"},
        DriveCase{"AnEmptyStartTakesThisProgramsName",
                  {"T:\\Vantor.Cfg\\Vantor.ini"},
                  "",
                  "T:\\Vantor.Cfg\\Vantor.ini"}),
    [](const auto& info) { return std::string(info.param.name); });

// The settings component as a program on Windows creates it: this program,
// on Z:, finds the file by the scan and reads it through the real calls.
TEST_F(LocateOnDrivesTest, TheSettingsComponentReadsTheFileTheScanFinds) {
  fs::create_directories("T:\\Vantor.Cfg");
  std::ofstream("T:\\Vantor.Cfg\\Vantor.ini")
      << "[Paths]\r\nLibPath=..\\Lib\r\n[DataProvider]\r\nConnStr=Data Source=JAILSRV\r\n";
  const CurrentDirectory inside(FSite.Path());
  const TVantorIni ini(nullptr);
  EXPECT_EQ(ini.VantorIni(), "T:\\Vantor.Cfg\\Vantor.ini");
  EXPECT_EQ(ini.ConnectionString(), "Data Source=JAILSRV");
  EXPECT_EQ(ini.LibPath(), "T:\\Lib");
  EXPECT_FALSE(ini.IsMobile());
}

}  // namespace
