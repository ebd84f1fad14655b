// The configuration file search on disk layouts the tests lay out: which
// candidate wins, in what order the disks are asked, and the two failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/ini_file_exception.h"
#include "config/ini_file_location.h"
#include "platform/disk.h"

namespace {

using platform::DriveType;

enum class Entry {
  kFile,
  kFolder,
  kVanishingFile,  // there when first looked at, gone afterwards
};

// A disk holding exactly the entries and drives a test lists (other drives
// have no root), logging every question it is asked.
class FakeDisk : public platform::Disk {
 public:
  FakeDisk(std::map<std::string, Entry> AEntries, std::map<char, DriveType> ADrives)
      : FEntries(std::move(AEntries)), FDrives(std::move(ADrives)) {}

  std::string ExecutableFileName() const override { return "C:\\Apps\\VANTOR.APP\\Jail\\Jail.exe"; }

  std::optional<std::string> FindFile(const std::string& AFileName) const override {
    const bool looked_before =
        std::find(FLooked.begin(), FLooked.end(), AFileName) != FLooked.end();
    FLooked.push_back(AFileName);
    const auto entry = FEntries.find(AFileName);
    if (entry == FEntries.end() || entry->second == Entry::kFolder ||
        (entry->second == Entry::kVanishingFile && looked_before)) {
      return std::nullopt;
    }
    return AFileName;
  }

  DriveType DriveTypeOf(const std::string& ARoot) const override {
    FRootsAsked += ARoot + " ";
    const auto drive =
        ARoot.size() == 3 && ARoot.ends_with(":\\") ? FDrives.find(ARoot[0]) : FDrives.end();
    return drive == FDrives.end() ? DriveType::kNoRootDir : drive->second;
  }

  const std::vector<std::string>& Looked() const { return FLooked; }
  const std::string& RootsAsked() const { return FRootsAsked; }

 private:
  std::map<std::string, Entry> FEntries;
  std::map<char, DriveType> FDrives;
  mutable std::vector<std::string> FLooked;
  mutable std::string FRootsAsked;
};

// "C:\ D:\ " for "CD": the drive roots asked for in that order.
std::string Roots(std::string_view ALetters) {
  std::string roots;
  for (char letter : ALetters) roots += std::string(1, letter) + ":\\ ";
  return roots;
}

constexpr std::string_view kEveryDrive = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kScannedDrives = "CDEFGHIJKLMNOPQRSTUVWXYZ";

std::map<char, DriveType> EveryDriveFixed() {
  std::map<char, DriveType> drives;
  for (char letter : kEveryDrive) drives[letter] = DriveType::kFixed;
  return drives;
}

// The drive scan's candidates for `ALetters`, in order.
std::vector<std::string> ScanLooks(std::string_view ALetters) {
  std::vector<std::string> looks;
  for (char letter : ALetters)
    looks.push_back(std::string(1, letter) + ":\\Vantor.Cfg\\Vantor.ini");
  return looks;
}

std::vector<std::string> operator+(std::vector<std::string> A, const std::vector<std::string>& B) {
  A.insert(A.end(), B.begin(), B.end());
  return A;
}

struct Scenario {
  const char* name;
  const char* start;  // "" stands for the executable, C:\Apps\VANTOR.APP\Jail\Jail.exe
  std::map<std::string, Entry> entries;
  std::map<char, DriveType> drives;
  std::string outcome;  // the file found, or "EIniFileException: " + the message
  std::vector<std::string> looked;
  std::string roots_asked;
};

void PrintTo(const Scenario& s, std::ostream* os) {
  *os << s.name;
}

class LocateIniFileTest : public ::testing::TestWithParam<Scenario> {};

TEST_P(LocateIniFileTest, FindsTheFileAsTheSiteLaidItOut) {
  const Scenario& s = GetParam();
  const FakeDisk disk(s.entries, s.drives);
  std::string outcome;
  try {
    outcome = LocateIniFile(s.start, disk);
  } catch (const EIniFileException& e) {
    outcome = "EIniFileException: " + e.Message();
    if (e.Message() == "Vantor.ini not found.") {
      EXPECT_EQ(e.PlacesLookedAt(), s.looked) << "the error names the places looked at";
    }
  }
  EXPECT_EQ(outcome, s.outcome);
  EXPECT_EQ(disk.Looked(), s.looked);
  EXPECT_EQ(disk.RootsAsked(), s.roots_asked);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, LocateIniFileTest,
    ::testing::Values(
        Scenario{
            "MobileFileWinsOverEveryOther",
            "C:\\Apps\\VANTOR.APP\\Jail\\Jail.exe",
            {{"C:\\Apps\\VANTOR.APP\\Jail\\Rovane.ini", Entry::kFile},
             {"C:\\Apps\\Vantor.Cfg\\Vantor.ini", Entry::kFile},
             {"C:\\Vantor.Cfg\\Vantor.ini", Entry::kFile}},
            {{'C', DriveType::kFixed}},
            "C:\\Apps\\VANTOR.APP\\Jail\\Rovane.ini",
            {"C:\\Apps\\VANTOR.APP\\Jail\\Rovane.ini", "C:\\Apps\\VANTOR.APP\\Jail\\Rovane.ini"},
            ""},
        Scenario{
            "MobileFileVanishingBetweenTheTwoLooks",
            "C:\\Apps\\VANTOR.APP\\Jail\\Jail.exe",
            {{"C:\\Apps\\VANTOR.APP\\Jail\\Rovane.ini", Entry::kVanishingFile},
             {"C:\\Apps\\Vantor.Cfg\\Vantor.ini", Entry::kFile}},
            {{'C', DriveType::kFixed}},
            "EIniFileException: Rovane.ini not found",
            {"C:\\Apps\\VANTOR.APP\\Jail\\Rovane.ini", "C:\\Apps\\VANTOR.APP\\Jail\\Rovane.ini"},
            ""},
        // The mobile test trims the folder, the second look does not.
        Scenario{"UntrimmedStartFolderLosesTheMobileFile",
                 " C:\\P\\Jail.exe",
                 {{"C:\\P\\Rovane.ini", Entry::kFile}},
                 {{'C', DriveType::kFixed}},
                 "EIniFileException: Rovane.ini not found",
                 {"C:\\P\\Rovane.ini", " C:\\P\\Rovane.ini"},
                 ""},
        Scenario{"EmptyStartMeansTheExecutable",
                 "",
                 {{"C:\\Apps\\Vantor.Cfg\\Vantor.ini", Entry::kFile},
                  {"C:\\Vantor.Cfg\\Vantor.ini", Entry::kFile}},
                 {{'C', DriveType::kFixed}},
                 "C:\\Apps\\Vantor.Cfg\\Vantor.ini",
                 {"C:\\Apps\\VANTOR.APP\\Jail\\Rovane.ini", "C:\\Apps\\Vantor.Cfg\\Vantor.ini"},
                 ""},
        Scenario{"MarkerAbsentFindsRelativeCandidate",
                 "C:\\Tools\\Jail.exe",
                 {{"Vantor.Cfg\\Vantor.ini", Entry::kFile},
                  {"C:\\Vantor.Cfg\\Vantor.ini", Entry::kFile}},
                 {{'C', DriveType::kFixed}},
                 "Vantor.Cfg\\Vantor.ini",
                 {"C:\\Tools\\Rovane.ini", "Vantor.Cfg\\Vantor.ini"},
                 ""},
        Scenario{"FirstOfTwoMarkersDecides",
                 "C:\\A\\vantor.app\\B\\VANTOR.APP\\Jail.exe",
                 {{"C:\\A\\Vantor.Cfg\\Vantor.ini", Entry::kFile},
                  {"C:\\A\\vantor.app\\B\\Vantor.Cfg\\Vantor.ini", Entry::kFile}},
                 {{'C', DriveType::kFixed}},
                 "C:\\A\\Vantor.Cfg\\Vantor.ini",
                 {"C:\\A\\vantor.app\\B\\VANTOR.APP\\Rovane.ini", "C:\\A\\Vantor.Cfg\\Vantor.ini"},
                 ""},
        // Slashes are turned only for the product folder's candidate.
        Scenario{"SlashesTurnedForProductFolder",
                 "D:/x/VANTOR.APP/bin\\Jail.exe",
                 {{"D:\\x\\Vantor.Cfg\\Vantor.ini", Entry::kFile}},
                 {},
                 "D:\\x\\Vantor.Cfg\\Vantor.ini",
                 {"D:/x/VANTOR.APP/bin\\Rovane.ini", "D:\\x\\Vantor.Cfg\\Vantor.ini"},
                 ""},
        // The drive of the program is tried whatever its type.
        Scenario{"SameDriveBeforeTheScan",
                 "E:\\Progs\\Jail.exe",
                 {{"E:\\Vantor.Cfg\\Vantor.ini", Entry::kFile},
                  {"C:\\Vantor.Cfg\\Vantor.ini", Entry::kFile}},
                 {{'C', DriveType::kFixed}, {'E', DriveType::kRemovable}},
                 "E:\\Vantor.Cfg\\Vantor.ini",
                 {"E:\\Progs\\Rovane.ini", "Vantor.Cfg\\Vantor.ini", "E:\\Vantor.Cfg\\Vantor.ini"},
                 ""},
        Scenario{"NetworkStartPathGoesOnToTheScan",
                 "\\\\server\\share\\VANTOR.APP\\Jail.exe",
                 {{"D:\\Vantor.Cfg\\Vantor.ini", Entry::kFile}},
                 {{'C', DriveType::kFixed}, {'D', DriveType::kRemote}},
                 "D:\\Vantor.Cfg\\Vantor.ini",
                 std::vector<std::string>{"\\\\server\\share\\VANTOR.APP\\Rovane.ini",
                                          "\\\\server\\share\\Vantor.Cfg\\Vantor.ini",
                                          "\\:\\Vantor.Cfg\\Vantor.ini"} +
                     ScanLooks("CD"),
                 Roots("CD")},
        Scenario{"ScanInOrderOfFixedAndNetworkDrivesFromC",
                 "C:\\Tools\\Jail.exe",
                 {{"A:\\Vantor.Cfg\\Vantor.ini", Entry::kFile},
                  {"B:\\Vantor.Cfg\\Vantor.ini", Entry::kFile},
                  {"D:\\Vantor.Cfg\\Vantor.ini", Entry::kFile},
                  {"E:\\Vantor.Cfg\\Vantor.ini", Entry::kFile},
                  {"F:\\Vantor.Cfg\\Vantor.ini", Entry::kFile},
                  {"G:\\Vantor.Cfg\\Vantor.ini", Entry::kFile},
                  {"I:\\Vantor.Cfg\\Vantor.ini", Entry::kFile},
                  {"J:\\Vantor.Cfg\\Vantor.ini", Entry::kFile},
                  {"K:\\Vantor.Cfg\\Vantor.ini", Entry::kFile}},
                 {{'A', DriveType::kFixed},
                  {'B', DriveType::kFixed},
                  {'C', DriveType::kFixed},
                  {'D', DriveType::kRemovable},
                  {'E', DriveType::kCdRom},
                  {'F', DriveType::kRamDisk},
                  {'G', DriveType::kUnknown},
                  {'H', DriveType::kFixed},
                  {'J', DriveType::kRemote},
                  {'K', DriveType::kFixed}},
                 "J:\\Vantor.Cfg\\Vantor.ini",
                 std::vector<std::string>{"C:\\Tools\\Rovane.ini", "Vantor.Cfg\\Vantor.ini",
                                          "C:\\Vantor.Cfg\\Vantor.ini"} +
                     ScanLooks("CHJ"),
                 Roots("CDEFGHIJ")},
        Scenario{"FoldersNamedLikeTheFilesIgnored",
                 "C:\\Apps\\VANTOR.APP\\Jail.exe",
                 {{"C:\\Apps\\VANTOR.APP\\Rovane.ini", Entry::kFolder},
                  {"C:\\Apps\\Vantor.Cfg\\Vantor.ini", Entry::kFolder},
                  {"C:\\Vantor.Cfg\\Vantor.ini", Entry::kFolder},
                  {"D:\\Vantor.Cfg\\Vantor.ini", Entry::kFile}},
                 {{'C', DriveType::kFixed}, {'D', DriveType::kFixed}},
                 "D:\\Vantor.Cfg\\Vantor.ini",
                 std::vector<std::string>{"C:\\Apps\\VANTOR.APP\\Rovane.ini",
                                          "C:\\Apps\\Vantor.Cfg\\Vantor.ini",
                                          "C:\\Vantor.Cfg\\Vantor.ini"} +
                     ScanLooks("CD"),
                 Roots("CD")},
        Scenario{"NothingFound",
                 "C:\\Tools\\Jail.exe",
                 {},
                 EveryDriveFixed(),
                 "EIniFileException: Vantor.ini not found.",
                 std::vector<std::string>{"C:\\Tools\\Rovane.ini", "Vantor.Cfg\\Vantor.ini",
                                          "C:\\Vantor.Cfg\\Vantor.ini"} +
                     ScanLooks(kScannedDrives),
                 Roots(kScannedDrives)}),
    [](const auto& info) { return std::string(info.param.name); });

struct MobileCase {
  const char* name;
  const char* folder;
  const char* looked;  // the one name MobileIniExists asks for
};

void PrintTo(const MobileCase& c, std::ostream* os) {
  *os << '"' << c.folder << '"';
}

class MobileIniExistsTest : public ::testing::TestWithParam<MobileCase> {};

TEST_P(MobileIniExistsTest, LooksInTrimmedFolderPart) {
  const MobileCase& c = GetParam();
  const FakeDisk with_file({{c.looked, Entry::kFile}}, {});
  const FakeDisk without_file({}, {});
  EXPECT_TRUE(MobileIniExists(c.folder, with_file));
  EXPECT_FALSE(MobileIniExists(c.folder, without_file));
  EXPECT_EQ(without_file.Looked(), std::vector<std::string>{c.looked});
}

INSTANTIATE_TEST_SUITE_P(
    Folders, MobileIniExistsTest,
    ::testing::Values(MobileCase{"FolderEndingInBackslash", "C:\\P\\", "C:\\P\\Rovane.ini"},
                      MobileCase{"FileName", "C:\\P\\Jail.exe", "C:\\P\\Rovane.ini"},
                      MobileCase{"FolderWithoutBackslashIsAName", "C:\\P", "C:\\Rovane.ini"},
                      MobileCase{"TrimmedAfterFolderPart",
                                 " \x01"
                                 "C:\\P\\ x ",
                                 "C:\\P\\Rovane.ini"},
                      MobileCase{"DriveOnly", "C:", "C:Rovane.ini"},
                      MobileCase{"NoFolder", "Jail.exe", "Rovane.ini"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
