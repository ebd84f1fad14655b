#include "platform/posix_path.h"

#include <algorithm>
#include <cctype>

namespace platform {

namespace {

bool IsSeparator(char AChar) {
  return AChar == '\\' || AChar == '/';
}

// Windows refuses these in a file or folder name; a name holding one names
// no file, even where POSIX would allow it.
bool IsForbiddenInName(char AChar) {
  static constexpr std::string_view kForbidden = "<>:\"|?*";
  return static_cast<unsigned char>(AChar) < 32 || kForbidden.find(AChar) != std::string_view::npos;
}

bool HasDriveLetter(std::string_view AName) {
  return AName.size() >= 2 && AName[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(AName[0])) != 0 &&
         static_cast<unsigned char>(AName[0]) < 0x80;
}

// `APath` with "\" for every "/".
std::string WindowsSeparators(std::string_view APath) {
  std::string result(APath);
  std::replace(result.begin(), result.end(), '/', '\\');
  return result;
}

}  // namespace

std::string DriveDirectory(char ALetter) {
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(ALetter)));
  if (letter == 'c') return "/";
  if (letter < 'd' || letter > 'z') return "";
  return std::string("/mnt/") + letter;
}

std::optional<std::string> PosixPathFromWindows(std::string_view AWindowsName) {
  if (AWindowsName.size() >= 2 && IsSeparator(AWindowsName[0]) && IsSeparator(AWindowsName[1])) {
    return std::nullopt;  // \\server\share: no network names on this side
  }
  std::string result;
  std::string_view rest = AWindowsName;
  if (HasDriveLetter(rest)) {
    result = DriveDirectory(rest[0]);
    if (result.empty() || rest.size() < 3 || !IsSeparator(rest[2])) return std::nullopt;
    rest.remove_prefix(2);
  }
  if (std::any_of(rest.begin(), rest.end(), IsForbiddenInName)) return std::nullopt;
  for (char c : rest) {
    if (!IsSeparator(c)) {
      result += c;
    } else if (result.empty() || result.back() != '/') {
      result += '/';
    }
  }
  return result;
}

std::string WindowsPathFromPosix(std::string_view APosixPath) {
  // The drive whose directory (exactly as DriveDirectory spells it) holds the
  // path; C: for any other, as the way there never yields "/mnt/E" or "/mnt/c".
  for (char letter = 'D'; letter <= 'Z'; ++letter) {
    const std::string directory = DriveDirectory(letter);
    if (!APosixPath.starts_with(directory)) continue;
    const std::string_view rest = APosixPath.substr(directory.size());
    if (!rest.empty() && rest.front() != '/') continue;
    return std::string{letter, ':'} + WindowsSeparators(rest.empty() ? "/" : rest);
  }
  return "C:" + WindowsSeparators(APosixPath);
}

}  // namespace platform
