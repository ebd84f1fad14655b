#include <deque>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/case_insensitive_path.h"
#include "platform/place_name.h"
#include "platform/posix_path.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

// The kernel follows no more links than this in one path name (ELOOP).
constexpr int kMostLinksFollowed = 40;

// `APath` lexically normal and without a trailing separator.
fs::path Normal(const fs::path& APath) {
  fs::path normal = APath.lexically_normal();
  if (normal.has_relative_path() && !normal.has_filename()) normal = normal.parent_path();
  return normal;
}

// Where the absolute path `APath` leads: each symbolic link along it replaced
// by its target, "." and ".." taken where they stand, as the kernel takes
// them; from the first component that does not exist (or may not be looked
// at) on, the rest as written. Nothing when its links go round in a loop.
std::optional<fs::path> Destination(const fs::path& APath) {
  std::deque<fs::path> rest(APath.begin(), APath.end());
  rest.pop_front();  // the root
  fs::path reached = "/";
  int linksFollowed = 0;
  while (!rest.empty()) {
    const fs::path component = std::move(rest.front());
    rest.pop_front();
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      reached = reached.parent_path();
      continue;
    }
    const fs::path next = reached / component;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(next, error);
    if (error || !fs::exists(status)) {
      reached = next;
      for (const fs::path& written : rest) reached /= written;
      return Normal(reached);
    }
    if (!fs::is_symlink(status)) {
      reached = next;
      continue;
    }
    const fs::path target = fs::read_symlink(next, error);
    if (error || ++linksFollowed > kMostLinksFollowed) return std::nullopt;
    if (target.is_absolute()) reached = "/";
    const fs::path targetRest = target.relative_path();
    rest.insert(rest.begin(), targetRest.begin(), targetRest.end());
  }
  return reached;
}

}  // namespace

std::string PlaceNameOnHost(const std::string& AWindowsName) {
  const std::optional<std::string> path = PosixPathFromWindows(AWindowsName);
  if (!path) return AWindowsName;
  const fs::path place(*path);
  const std::string written = place.has_parent_path() ? place.parent_path().string() : ".";
  const std::string folder = MatchPathIgnoringCase(written).value_or(written);
  std::error_code error;
  const fs::path absolute = fs::absolute(folder, error);
  if (error) return *path;
  const std::optional<fs::path> leads = Destination(absolute);
  if (!leads || *leads == Normal(absolute)) return *path;
  return *path + " (" + (*leads / place.filename()).string() + ")";
}

}  // namespace platform
