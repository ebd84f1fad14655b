#include "platform/full_path_text.h"

#include <cctype>
#include <vector>

namespace platform {

namespace {

bool IsSeparator(char AChar) {
  return AChar == '\\' || AChar == '/';
}

bool HasDriveLetter(std::string_view AName) {
  return AName.size() >= 2 && AName[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(AName[0])) != 0;
}

bool IsNetworkName(std::string_view AName) {
  return AName.size() >= 2 && IsSeparator(AName[0]) && IsSeparator(AName[1]);
}

bool SameDrive(char A, char B) {
  return std::toupper(static_cast<unsigned char>(A)) == std::toupper(static_cast<unsigned char>(B));
}

// The length of the root of the full name `AName`: "X:" or "\\server\share"
// (as much of it as there is).
size_t RootLength(std::string_view AName) {
  if (!IsNetworkName(AName)) return 2;
  size_t at = 2;
  for (int part = 0; part < 2; ++part) {
    while (at < AName.size() && IsSeparator(AName[at])) ++at;
    while (at < AName.size() && !IsSeparator(AName[at])) ++at;
  }
  return at;
}

// Root `ARoot` followed by the components of `APath` with "." and ".."
// resolved, "\" separated.
std::string Resolve(std::string_view ARoot, std::string_view APath) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= APath.size()) {
    size_t end = start;
    while (end < APath.size() && !IsSeparator(APath[end])) ++end;
    const std::string_view part = APath.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result;
  for (char c : ARoot) result += IsSeparator(c) ? '\\' : c;
  for (std::string_view part : parts) {
    result += '\\';
    result += part;
  }
  if (parts.empty() || (!APath.empty() && IsSeparator(APath.back()))) result += '\\';
  return result;
}

}  // namespace

std::string FullPathFromCurrent(std::string_view AFileName, std::string_view ACurrentDirectory) {
  if (IsNetworkName(AFileName)) {
    const size_t root = RootLength(AFileName);
    return Resolve(AFileName.substr(0, root), AFileName.substr(root));
  }
  if (HasDriveLetter(AFileName)) {
    const std::string_view rest = AFileName.substr(2);
    if (rest.empty() || !IsSeparator(rest[0])) {
      if (HasDriveLetter(ACurrentDirectory) && SameDrive(AFileName[0], ACurrentDirectory[0])) {
        return FullPathFromCurrent(std::string(ACurrentDirectory) + "\\" + std::string(rest),
                                   ACurrentDirectory);
      }
    }
    return Resolve(AFileName.substr(0, 2), rest);
  }
  const size_t root = RootLength(ACurrentDirectory);
  if (!AFileName.empty() && IsSeparator(AFileName[0])) {
    return Resolve(ACurrentDirectory.substr(0, root), AFileName);
  }
  return Resolve(ACurrentDirectory.substr(0, root),
                 std::string(ACurrentDirectory.substr(root)) + "\\" + std::string(AFileName));
}

}  // namespace platform
