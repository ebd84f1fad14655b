// A site laid out in a scratch directory, for the settings component: the
// program runs as C:\Apps\VANTOR.APP\Jail\Jail.exe, so its configuration
// file is C:\Apps\Vantor.Cfg\Vantor.ini and a mobile one
// C:\Apps\VANTOR.APP\Jail\Rovane.ini.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/disk.h"
#include "scratch_dir.h"

namespace config_test {

class SiteDisk : public platform::Disk {
 public:
  // Names under "C:\Apps\" are files below `ARoot`, and so are the host's
  // own names of those files; other names with a drive letter name nothing
  // (the host's drives stay out of the search); any other name (relative,
  // or a POSIX path) is the host's. No drive has a root, so the search never
  // scans.
  explicit SiteDisk(std::filesystem::path ARoot,
                    std::string AProgram = "C:\\Apps\\VANTOR.APP\\Jail\\Jail.exe");

  std::string ExecutableFileName() const override { return FProgram; }
  std::optional<std::string> FindFile(const std::string& AFileName) const override;
  platform::DriveType DriveTypeOf(const std::string&) const override {
    return platform::DriveType::kNoRootDir;
  }

  // How often FindFile was asked for `AFileName`.
  int TimesLookedFor(const std::string& AFileName) const;

 private:
  std::filesystem::path FRoot;
  std::string FProgram;
  mutable std::map<std::string, int> FLooked;
};

// The POSIX path of the site's configuration file below `ASite`.
std::string ConfigFileOf(const platform_test::ScratchDir& ASite);
// The POSIX path of the site's mobile file below `ASite`.
std::string MobileFileOf(const platform_test::ScratchDir& ASite);

}  // namespace config_test
