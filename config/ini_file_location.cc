#include "config/ini_file_location.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "config/ini_file_exception.h"
#include "config/path_text.h"

namespace {

constexpr std::string_view kMobileFileName = "Rovane.ini";
constexpr std::string_view kAppFolderMarker = "VANTOR.APP";
constexpr std::string_view kConfigFolder = "Vantor.Cfg\\";
constexpr std::string_view kConfigFileName = "Vantor.ini";
constexpr std::string_view kDriveTail = ":\\Vantor.Cfg\\Vantor.ini";
constexpr std::string_view kDriveRootTail = ":\\";
constexpr char kFirstDriveScanned = 'C';  // A: and B: were floppy drives
constexpr char kLastDriveScanned = 'Z';

// The first whole UTF-8 character of `AText`; empty when `AText` is.
std::string FirstCharacter(std::string_view AText) {
  if (AText.empty()) return "";
  size_t length = 1;
  while (length < AText.size() && (static_cast<unsigned char>(AText[length]) & 0xC0) == 0x80) {
    ++length;
  }
  return std::string(AText.substr(0, length));
}

bool IsScannedType(platform::DriveType AType) {
  return AType == platform::DriveType::kFixed || AType == platform::DriveType::kRemote;
}

// The name MobileIniExists looks at.
std::string MobileIniName(const std::string& AFolder) {
  return Trim(FolderPart(AFolder)) + std::string(kMobileFileName);
}

}  // namespace

bool MobileIniExists(const std::string& AFolder, const platform::Disk& ADisk) {
  return ADisk.FindFile(MobileIniName(AFolder)).has_value();
}

std::string ConfigFolderFromPath(const std::string& AProgramFolder) {
  std::string folder = Trim(AProgramFolder);
  std::replace(folder.begin(), folder.end(), '/', '\\');
  std::string upper = folder;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  const size_t marker = upper.find(kAppFolderMarker);
  return (marker == std::string::npos ? "" : folder.substr(0, marker)) + std::string(kConfigFolder);
}

std::string LocateIniFile(const std::string& AStartFile, const platform::Disk& ADisk) {
  const std::string folder =
      FolderPart(AStartFile.empty() ? ADisk.ExecutableFileName() : AStartFile);
  std::vector<std::string> places;
  const auto look = [&](std::string AName) {
    places.push_back(std::move(AName));
    return ADisk.FindFile(places.back());
  };

  places.push_back(MobileIniName(folder));
  if (MobileIniExists(folder, ADisk)) {
    // Looked at twice: the file may go between the test and the answer.
    if (auto found = ADisk.FindFile(folder + std::string(kMobileFileName))) return *found;
    throw EIniFileException("Rovane.ini not found");
  }
  if (auto found = look(ConfigFolderFromPath(folder) + std::string(kConfigFileName))) return *found;
  if (auto found = look(FirstCharacter(folder) + std::string(kDriveTail))) return *found;
  for (char letter = kFirstDriveScanned; letter <= kLastDriveScanned; ++letter) {
    if (!IsScannedType(ADisk.DriveTypeOf(letter + std::string(kDriveRootTail)))) continue;
    if (auto found = look(letter + std::string(kDriveTail))) return *found;
  }
  throw EIniFileException("Vantor.ini not found.", std::move(places));
}
