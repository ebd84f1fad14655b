#include "site_disk.h"

#include <algorithm>
#include <utility>

namespace config_test {

namespace {

constexpr std::string_view kSiteRoot = "C:\\Apps\\";

}  // namespace

SiteDisk::SiteDisk(std::filesystem::path ARoot, std::string AProgram)
    : FRoot(std::move(ARoot)), FProgram(std::move(AProgram)) {}

std::optional<std::string> SiteDisk::FindFile(const std::string& AFileName) const {
  ++FLooked[AFileName];
  if (AFileName.starts_with(kSiteRoot)) {
    std::string relative = AFileName.substr(kSiteRoot.size());
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return platform::SystemDisk().FindFile((FRoot / relative).make_preferred().string());
  }
  // The host's own name for a file of the site, which on Windows has a drive.
  if (AFileName.starts_with(FRoot.string())) return platform::SystemDisk().FindFile(AFileName);
  if (AFileName.size() >= 2 && AFileName[1] == ':') return std::nullopt;
  return platform::SystemDisk().FindFile(AFileName);
}

int SiteDisk::TimesLookedFor(const std::string& AFileName) const {
  const auto looked = FLooked.find(AFileName);
  return looked == FLooked.end() ? 0 : looked->second;
}

std::string ConfigFileOf(const platform_test::ScratchDir& ASite) {
  return (ASite.Path() / "Vantor.Cfg" / "Vantor.ini").string();
}

std::string MobileFileOf(const platform_test::ScratchDir& ASite) {
  return (ASite.Path() / "VANTOR.APP" / "Jail" / "Rovane.ini").string();
}

}  // namespace config_test
