#include "platform/mount_table.h"

#include <algorithm>
#include <vector>

namespace platform {

namespace {

// `AField` with the kernel's octal escapes decoded.
std::string Unescape(std::string_view AField) {
  std::string result;
  for (size_t i = 0; i < AField.size(); ++i) {
    const bool escaped = AField[i] == '\\' && i + 3 < AField.size() &&
                         std::all_of(AField.begin() + i + 1, AField.begin() + i + 4,
                                     [](char c) { return c >= '0' && c <= '7'; });
    if (escaped) {
      result += static_cast<char>((AField[i + 1] - '0') * 64 + (AField[i + 2] - '0') * 8 +
                                  (AField[i + 3] - '0'));
      i += 3;
    } else {
      result += AField[i];
    }
  }
  return result;
}

std::vector<std::string_view> Fields(std::string_view ALine) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (start < ALine.size()) {
    const size_t end = std::min(ALine.find(' ', start), ALine.size());
    if (end > start) fields.push_back(ALine.substr(start, end - start));
    start = end + 1;
  }
  return fields;
}

// One line of mountinfo: "id parent major:minor root mount-point options
// [optional fields...] - type source super-options".
std::optional<Mount> ParseLine(std::string_view ALine) {
  const std::vector<std::string_view> fields = Fields(ALine);
  const auto separator = std::find(fields.begin(), fields.end(), "-");
  if (separator - fields.begin() < 6 || fields.end() - separator < 2) return std::nullopt;
  const std::string source = fields.end() - separator > 2 ? Unescape(separator[2]) : "";
  return Mount{std::string(fields[2]), Unescape(fields[4]), Unescape(separator[1]), source};
}

}  // namespace

std::optional<Mount> TopMountAt(std::string_view AMountInfo, std::string_view AMountPoint) {
  std::optional<Mount> top;
  size_t start = 0;
  while (start < AMountInfo.size()) {
    const size_t end = std::min(AMountInfo.find('\n', start), AMountInfo.size());
    std::optional<Mount> mount = ParseLine(AMountInfo.substr(start, end - start));
    if (mount && mount->mount_point == AMountPoint) top = std::move(mount);
    start = end + 1;
  }
  return top;
}

}  // namespace platform
