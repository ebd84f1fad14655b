#include "config/lib_path.h"

#include <cctype>

#include "config/path_text.h"

namespace {

bool HasDriveLetter(const std::string& AName) {
  return AName.size() >= 2 && AName[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(AName[0])) != 0;
}

// "X:" of "X:\...", "\\server\share" of "\\server\share\...", else nothing.
std::string DriveOf(const std::string& AFileName) {
  if (AFileName.size() >= 2 && AFileName[1] == ':') return AFileName.substr(0, 2);
  if (!AFileName.starts_with("\\\\")) return "";
  const size_t share = AFileName.find('\\', 2);
  if (share == std::string::npos) return AFileName;
  return AFileName.substr(0, AFileName.find('\\', share + 1));
}

}  // namespace

std::string ExpandLibPath(
    const std::string& ALibPath, const std::string& AIniFile,
    const std::function<std::string(const std::string&)>& AFullPath,
    const std::function<std::optional<std::string>(const std::string&)>& AUniversalName) {
  if (ALibPath.size() >= 2 && (ALibPath.starts_with("\\\\") || ALibPath[1] == ':')) {
    return ALibPath;
  }
  if (ALibPath.starts_with('\\')) return DriveOf(AIniFile) + ALibPath;
  const std::string full = AFullPath(FolderPart(AIniFile) + ALibPath);
  if (!HasDriveLetter(full)) return full;
  return AUniversalName(full).value_or(full);
}
