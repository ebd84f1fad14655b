// The sections and entries of an ini-style text, as the site configuration
// file is read:
//
//   ; a comment
//   [DataProvider]
//   ConnStr = Provider=SQLNCLI11;Data Source=JAILSRV
//
// Lines end at CR, LF or CR LF and are trimmed of blanks and control
// characters. Empty lines, lines starting with ";" and lines before the first
// section are ignored. "[" name "]" opens a section; inside one, a line
// holding "=" is an entry, its key the trimmed text before the first "=", its
// value the trimmed text after it; other lines are ignored. Section and key
// names compare without regard to case (platform/text_case.h). A section given
// twice is one section; of a key given twice in it, the first counts.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TIniValues {
 public:
  // The sections and entries of `AText` (UTF-8).
  static TIniValues Parse(std::string_view AText);

  // The value of `AKey` in `ASection`; `ADefault` when either is missing.
  std::string ReadString(std::string_view ASection, std::string_view AKey,
                         const std::string& ADefault) const;
  // The value of `AKey` in `ASection` read as a 32-bit integer: decimal with
  // an optional sign, or hexadecimal after "$" or "0x" (an optional sign
  // first); `ADefault` when it is missing or not such an integer.
  int ReadInteger(std::string_view ASection, std::string_view AKey, int ADefault) const;
  // ReadInteger(`ASection`, `AKey`, `ADefault`) != 0.
  bool ReadBool(std::string_view ASection, std::string_view AKey, bool ADefault) const;

 private:
  // One "[" name "]" line and the entries after it; a name given again
  // starts another Section.
  struct Section {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Entries;  // key, value; in file order
  };

  const std::string* Find(std::string_view ASection, std::string_view AKey) const;

  std::vector<Section> FSections;
};
