// The configuration file search on this host's real disk: Windows-form
// program names lead to POSIX files whose names differ in letter case, and
// the answer is a name a user of this host can open.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "config/ini_file_location.h"
#include "platform/posix_path.h"
#include "scratch_dir.h"

namespace {

using platform_test::CurrentDirectory;
using platform_test::ScratchDir;

struct HostCase {
  const char* name;
  std::vector<std::string> files;  // below the scratch directory, which is current
  const char* program;             // below the scratch directory
  const char* found;               // below the scratch directory, or relative to it
  bool found_relative;
};

void PrintTo(const HostCase& c, std::ostream* os) {
  *os << c.name;
}

class LocateOnHostTest : public ::testing::TestWithParam<HostCase> {};

TEST_P(LocateOnHostTest, ReturnsTheHostsName) {
  const HostCase& c = GetParam();
  ScratchDir root;
  for (const std::string& file : c.files) root.AddFile(file, "[DataProvider]\n");
  const CurrentDirectory inside(root.Path());
  const std::string program =
      platform::WindowsPathFromPosix(root.Path().string() + "/" + c.program);

  const std::string expected = c.found_relative ? c.found : root.Path().string() + "/" + c.found;
  EXPECT_EQ(LocateIniFile(program), expected) << program;
}

INSTANTIATE_TEST_SUITE_P(Trees, LocateOnHostTest,
                         ::testing::Values(HostCase{"MobileFileInOtherCase",
                                                    {"Mobile/ROVANE.INI", "Vantor.Cfg/Vantor.ini"},
                                                    "Mobile/Jail",
                                                    "Mobile/ROVANE.INI",
                                                    false},
                                           HostCase{"ProductFolderInOtherCase",
                                                    {"Apps/VANTOR.APP/Jail/Jail",
                                                     "Apps/vantor.cfg/VANTOR.INI",
                                                     "Vantor.Cfg/Vantor.ini"},
                                                    "Apps/VANTOR.APP/Jail/Jail",
                                                    "Apps/vantor.cfg/VANTOR.INI",
                                                    false},
                                           HostCase{"NoMarkerFindsCurrentDirectoryRelative",
                                                    {"Tools/Jail", "vantor.cfg/Vantor.INI"},
                                                    "Tools/Jail",
                                                    "vantor.cfg/Vantor.INI",
                                                    true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
