#include "config/ini_values.h"

#include <cstdint>
#include <optional>

#include "config/path_text.h"
#include "platform/text_case.h"

namespace {

// The lines of `AText`, split at CR, LF and CR LF.
std::vector<std::string_view> Lines(std::string_view AText) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < AText.size()) {
    size_t end = AText.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = AText.size();
    lines.push_back(AText.substr(start, end - start));
    start = end + (AText.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

int DigitValue(char AChar, int ABase) {
  int value = ABase;
  if (AChar >= '0' && AChar <= '9') value = AChar - '0';
  if (AChar >= 'a' && AChar <= 'f') value = AChar - 'a' + 10;
  if (AChar >= 'A' && AChar <= 'F') value = AChar - 'A' + 10;
  return value < ABase ? value : -1;
}

// `AText` as a 32-bit integer; a hexadecimal one may use all 32 bits
// ("$FFFFFFFF" is -1). Nothing when it is not such an integer.
std::optional<int> ParseInteger(std::string_view AText) {
  bool negative = false;
  if (!AText.empty() && (AText[0] == '+' || AText[0] == '-')) {
    negative = AText[0] == '-';
    AText.remove_prefix(1);
  }
  int base = 10;
  if (AText.starts_with('$')) {
    base = 16;
    AText.remove_prefix(1);
  } else if (AText.starts_with("0x") || AText.starts_with("0X")) {
    base = 16;
    AText.remove_prefix(2);
  }
  if (AText.empty()) return std::nullopt;
  const std::uint64_t limit = base == 16 ? 0xFFFFFFFFu : negative ? 0x80000000u : 0x7FFFFFFFu;
  std::uint64_t magnitude = 0;
  for (char c : AText) {
    const int digit = DigitValue(c, base);
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * base + static_cast<std::uint64_t>(digit);
    if (magnitude > limit) return std::nullopt;
  }
  const auto bits = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
  return static_cast<int>(static_cast<std::int32_t>(bits));
}

}  // namespace

TIniValues TIniValues::Parse(std::string_view AText) {
  TIniValues values;
  Section* current = nullptr;
  for (std::string_view raw : Lines(AText)) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      // Kept apart even when the name came before: Find reads same-named
      // sections as one, and merging here would compare every name with every
      // other, which a file of many sections would not live through.
      current = &values.FSections.emplace_back(
          Section{Trim(std::string_view(line).substr(1, line.size() - 2)), {}});
      continue;
    }
    const size_t equals = line.find('=');
    if (current == nullptr || equals == std::string::npos) continue;
    current->Entries.emplace_back(Trim(std::string_view(line).substr(0, equals)),
                                  Trim(std::string_view(line).substr(equals + 1)));
  }
  return values;
}

const std::string* TIniValues::Find(std::string_view ASection, std::string_view AKey) const {
  for (const Section& section : FSections) {
    if (!platform::SameTextIgnoringCase(section.Name, ASection)) continue;
    for (const auto& [key, value] : section.Entries) {
      if (platform::SameTextIgnoringCase(key, AKey)) return &value;
    }
  }
  return nullptr;
}

std::string TIniValues::ReadString(std::string_view ASection, std::string_view AKey,
                                   const std::string& ADefault) const {
  const std::string* value = Find(ASection, AKey);
  return value != nullptr ? *value : ADefault;
}

int TIniValues::ReadInteger(std::string_view ASection, std::string_view AKey, int ADefault) const {
  const std::string* value = Find(ASection, AKey);
  if (value == nullptr) return ADefault;
  return ParseInteger(*value).value_or(ADefault);
}

bool TIniValues::ReadBool(std::string_view ASection, std::string_view AKey, bool ADefault) const {
  return ReadInteger(ASection, AKey, ADefault ? 1 : 0) != 0;
}
