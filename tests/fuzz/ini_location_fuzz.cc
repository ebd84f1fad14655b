// The configuration file search over a disk the input lays out. Input lines:
// the start file ("" for the executable), the executable's name, one byte per
// drive A: to Z: giving its type, then one entry per line: a kind byte ('d' a
// folder, 'v' a file gone after its first look, anything else a file) and the
// entry's name. For any input the search asks exactly the documented
// candidates in their order, the drive scan asking each root C: to Z: at most
// once; what it answers is the disk's answer to the last look, and it fails
// only when every candidate was missing; and ConfigFolderFromPath keeps its
// contract on the start text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/ini_file_exception.h"
#include "config/ini_file_location.h"
#include "config/path_text.h"
#include "platform/disk.h"

namespace {

using platform::DriveType;

[[noreturn]] void Fail(const char* AWhat, std::string_view AText) {
  std::fprintf(stderr, "%s: %.*s\n", AWhat, static_cast<int>(AText.size()), AText.data());
  std::abort();
}

enum class Entry { kFile, kFolder, kVanishingFile };

struct Look {
  std::string name;
  std::optional<std::string> answer;
};

class FuzzedDisk : public platform::Disk {
 public:
  FuzzedDisk(std::string AExecutable, std::map<std::string, Entry> AEntries,
             std::map<char, DriveType> ADrives)
      : FExecutable(std::move(AExecutable)),
        FEntries(std::move(AEntries)),
        FDrives(std::move(ADrives)) {}

  std::string ExecutableFileName() const override { return FExecutable; }

  // A found file answers with a host name unlike the one asked for, so that
  // the search is seen to pass the disk's answer on.
  std::optional<std::string> FindFile(const std::string& AFileName) const override {
    std::optional<std::string> answer;
    const auto entry = FEntries.find(AFileName);
    if (entry != FEntries.end() && entry->second != Entry::kFolder) {
      const bool looked_before =
          FLooks.end() != std::find_if(FLooks.begin(), FLooks.end(),
                                       [&](const Look& ALook) { return ALook.name == AFileName; });
      if (entry->second == Entry::kFile || !looked_before) answer = "host:" + AFileName;
    }
    FLooks.push_back({AFileName, answer});
    return answer;
  }

  DriveType DriveTypeOf(const std::string& ARoot) const override {
    FRootsAsked += ARoot;
    const auto drive =
        ARoot.size() == 3 && ARoot.ends_with(":\\") ? FDrives.find(ARoot[0]) : FDrives.end();
    return drive == FDrives.end() ? DriveType::kNoRootDir : drive->second;
  }

  const std::vector<Look>& Looks() const { return FLooks; }
  const std::string& RootsAsked() const { return FRootsAsked; }
  DriveType TypeOf(char ALetter) const {
    const auto drive = FDrives.find(ALetter);
    return drive == FDrives.end() ? DriveType::kNoRootDir : drive->second;
  }

 private:
  std::string FExecutable;
  std::map<std::string, Entry> FEntries;
  std::map<char, DriveType> FDrives;
  mutable std::vector<Look> FLooks;
  mutable std::string FRootsAsked;
};

std::vector<std::string_view> Lines(std::string_view AInput) {
  std::vector<std::string_view> lines;
  while (true) {
    const std::size_t end = AInput.find('\n');
    lines.push_back(AInput.substr(0, end));
    if (end == std::string_view::npos) return lines;
    AInput.remove_prefix(end + 1);
  }
}

std::string Upper(std::string AText) {
  for (char& c : AText) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return AText;
}

void CheckConfigFolder(const std::string& AFolder) {
  constexpr std::string_view kTail = "Vantor.Cfg\\";
  const std::string result = ConfigFolderFromPath(AFolder);
  if (!result.ends_with(kTail)) Fail("config folder without its tail", AFolder);
  const std::string prefix = result.substr(0, result.size() - kTail.size());
  std::string text = Trim(AFolder);
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  if (!text.starts_with(prefix)) Fail("config folder not taken from the program folder", AFolder);
  const std::size_t marker = Upper(text).find("VANTOR.APP");
  if (prefix.size() != (marker == std::string::npos ? 0 : marker)) {
    Fail("config folder not cut at the first marker", AFolder);
  }
}

// The first whole UTF-8 character: the drive of a Windows name.
std::string DriveOf(std::string_view AName) {
  std::size_t length = AName.empty() ? 0 : 1;
  while (length < AName.size() && (static_cast<unsigned char>(AName[length]) & 0xC0) == 0x80) {
    ++length;
  }
  return std::string(AName.substr(0, length));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  const std::vector<std::string_view> lines =
      Lines(std::string_view(reinterpret_cast<const char*>(AData), ASize));
  const std::string start(lines[0]);
  const std::string executable(lines.size() > 1 ? lines[1] : "C:\\Apps\\VANTOR.APP\\Jail.exe");
  std::map<char, DriveType> drives;
  if (lines.size() > 2) {
    for (std::size_t i = 0; i < lines[2].size() && i < 26; ++i) {
      drives['A' + i] = static_cast<DriveType>(static_cast<unsigned char>(lines[2][i]) % 7);
    }
  }
  std::map<std::string, Entry> entries;
  for (std::size_t i = 3; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    const char kind = lines[i][0];
    entries[std::string(lines[i].substr(1))] = kind == 'd'   ? Entry::kFolder
                                               : kind == 'v' ? Entry::kVanishingFile
                                                             : Entry::kFile;
  }
  CheckConfigFolder(start);

  const FuzzedDisk disk(executable, entries, drives);
  std::string outcome;
  try {
    outcome = LocateIniFile(start, disk);
  } catch (const EIniFileException& e) {
    outcome = "error:" + e.Message();
  }

  // The looks the search owed, given the answers the disk gave.
  const std::string folder = FolderPart(start.empty() ? executable : start);
  const std::vector<Look>& looks = disk.Looks();
  const auto answered = [&looks](std::size_t AIndex) {
    return AIndex < looks.size() && looks[AIndex].answer.has_value();
  };
  std::vector<std::string> expected = {Trim(folder) + "Rovane.ini"};
  std::string expected_roots;
  bool found = false;
  const auto look_for = [&](std::string AName) {
    expected.push_back(std::move(AName));
    found = answered(expected.size() - 1);
  };
  if (answered(0)) {
    look_for(folder + "Rovane.ini");
  } else {
    look_for(ConfigFolderFromPath(folder) + "Vantor.ini");
    if (!found) look_for(DriveOf(folder) + ":\\Vantor.Cfg\\Vantor.ini");
    for (char letter = 'C'; letter <= 'Z' && !found; ++letter) {
      expected_roots += std::string(1, letter) + ":\\";
      const DriveType type = disk.TypeOf(letter);
      if (type == DriveType::kFixed || type == DriveType::kRemote) {
        look_for(std::string(1, letter) + ":\\Vantor.Cfg\\Vantor.ini");
      }
    }
  }
  if (looks.size() != expected.size()) Fail("not the documented number of looks", start);
  for (std::size_t i = 0; i < looks.size(); ++i) {
    if (looks[i].name != expected[i]) Fail("a look out of the documented order", looks[i].name);
  }
  if (disk.RootsAsked() != expected_roots) Fail("drive roots asked out of order", start);
  const std::string expected_outcome = found         ? *looks.back().answer
                                       : answered(0) ? "error:Rovane.ini not found"
                                                     : "error:Vantor.ini not found.";
  if (outcome != expected_outcome) Fail("unexpected outcome", outcome);
  return 0;
}
