#include "config/path_text.h"

namespace {

bool IsBlankOrControl(char AChar) {
  return static_cast<unsigned char>(AChar) <= 32;
}

}  // namespace

std::string Trim(std::string_view AText) {
  while (!AText.empty() && IsBlankOrControl(AText.front())) AText.remove_prefix(1);
  while (!AText.empty() && IsBlankOrControl(AText.back())) AText.remove_suffix(1);
  return std::string(AText);
}

std::string FolderPart(std::string_view AFileName) {
  const size_t last = AFileName.find_last_of("\\:");
  return last == std::string_view::npos ? "" : std::string(AFileName.substr(0, last + 1));
}
