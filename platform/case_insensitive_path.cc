#include "platform/case_insensitive_path.h"

#include <dirent.h>
#include <locale.h>
#include <sys/stat.h>
#include <wctype.h>

#include <memory>

namespace platform {

namespace {

// The C.UTF-8 character tables, for upper-casing every Unicode letter
// without touching the process's own locale.
locale_t UnicodeTables() {
  static const locale_t tables = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return tables;
}

// The length of the UTF-8 sequence `ALead` starts; 0 when it starts none.
int SequenceLength(unsigned char ALead) {
  if (ALead < 0x80) return 1;
  if (ALead >= 0xC2 && ALead < 0xE0) return 2;
  if (ALead >= 0xE0 && ALead < 0xF0) return 3;
  if (ALead >= 0xF0 && ALead < 0xF5) return 4;
  return 0;
}

// Decodes the UTF-8 character at the front of `AText` and drops it from
// `AText`. A byte that starts no valid character is taken alone and returned
// past every code point, so it only ever equals the same byte.
char32_t TakeCharacter(std::string_view& AText) {
  constexpr char32_t kStrayByte = 0x110000;
  const auto lead = static_cast<unsigned char>(AText[0]);
  const size_t length = SequenceLength(lead);
  char32_t code = length == 1 ? lead : lead & (0x7F >> length);
  bool valid = length != 0 && length <= AText.size();
  for (size_t i = 1; valid && i < length; ++i) {
    const auto next = static_cast<unsigned char>(AText[i]);
    valid = (next & 0xC0) == 0x80;
    code = code << 6 | (next & 0x3F);
  }
  if (!valid) {
    AText.remove_prefix(1);
    return kStrayByte + lead;
  }
  AText.remove_prefix(length);
  return code;
}

char32_t UpperCase(char32_t ACode) {
  if (ACode > 0x10FFFF) return ACode;
  if (UnicodeTables() == static_cast<locale_t>(0)) {
    return ACode >= 'a' && ACode <= 'z' ? ACode - 32 : ACode;
  }
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(ACode), UnicodeTables()));
}

struct DirCloser {
  void operator()(DIR* ADir) const { closedir(ADir); }
};

bool Exists(const std::string& APath) {
  struct stat info;
  return lstat(APath.c_str(), &info) == 0;
}

// The entry of `ADirectory` that matches `AName` without regard to case, the
// first in byte order of several; empty when none does.
std::string MatchingEntry(const std::string& ADirectory, std::string_view AName) {
  std::unique_ptr<DIR, DirCloser> dir(opendir(ADirectory.empty() ? "." : ADirectory.c_str()));
  if (!dir) return "";
  std::string best;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (SameNameIgnoringCase(name, AName) && (best.empty() || name < best)) best = name;
  }
  return best;
}

}  // namespace

bool SameNameIgnoringCase(std::string_view A, std::string_view B) {
  while (!A.empty() && !B.empty()) {
    if (UpperCase(TakeCharacter(A)) != UpperCase(TakeCharacter(B))) return false;
  }
  return A.empty() && B.empty();
}

std::optional<std::string> MatchPathIgnoringCase(std::string_view APath) {
  std::string result = APath.starts_with('/') ? "/" : "";
  std::string_view rest = APath;
  while (!rest.empty()) {
    const size_t end = rest.find('/');
    const std::string_view component = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (component.empty()) continue;
    std::string exact = result + std::string(component);
    if (component != "." && component != ".." && !Exists(exact)) {
      const std::string entry = MatchingEntry(result, component);
      if (entry.empty()) return std::nullopt;
      exact = result + entry;
    }
    result = std::move(exact);
    if (end != std::string_view::npos) result += '/';
  }
  return result;
}

}  // namespace platform
