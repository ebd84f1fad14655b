#include "config/connection_string_overlay.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/text_case.h"

namespace {

std::vector<std::string> SplitEntries(std::string_view AText) {
  std::vector<std::string> entries;
  do {
    const size_t separator = AText.find(';');
    entries.emplace_back(AText.substr(0, separator));
    AText = separator == std::string_view::npos ? std::string_view() : AText.substr(separator + 1);
  } while (!AText.empty());
  return entries;
}

// The name of `AEntry`; nothing for an entry without "=".
std::optional<std::string_view> NameOf(std::string_view AEntry) {
  const size_t equals = AEntry.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return AEntry.substr(0, equals);
}

// The first of `AEntries` named `AName`.
std::vector<std::string>::iterator FindNamed(std::vector<std::string>& AEntries,
                                             std::string_view AName) {
  return std::find_if(AEntries.begin(), AEntries.end(), [AName](const std::string& AEntry) {
    const std::optional<std::string_view> name = NameOf(AEntry);
    return name && platform::SameTextIgnoringCase(*name, AName);
  });
}

}  // namespace

std::string OverlayConnectionString(const std::string& AOriginal, const std::string& AOverlay) {
  std::vector<std::string> entries = SplitEntries(AOriginal);
  std::vector<std::string> overlay = SplitEntries(AOverlay);
  for (const std::string& change : overlay) {
    const std::string name(NameOf(change).value_or(""));
    const auto first = FindNamed(overlay, name);
    const std::string value = first == overlay.end() ? "" : first->substr(first->find('=') + 1);
    const auto target = FindNamed(entries, name);
    if (value.empty()) {
      if (target != entries.end()) entries.erase(target);
    } else if (target != entries.end()) {
      *target = name + "=" + value;
    } else {
      entries.push_back(name + "=" + value);
    }
  }
  std::string result;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) result += ';';
    result += entries[i];
  }
  return result;
}
