// The network form of names on drives mapped to shares, from mount tables
// the tests write.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/mount_universal_name.h"

namespace {

// "/" local; S: a cifs share, T: a share's sub-folder with an escaped blank,
// U: an smb3 share stacked on a local disk, V: a local disk stacked on a
// share, W: nfs (a network drive, but no share), X: a local disk; a share
// mounted outside the drive mapping.
constexpr std::string_view kMountInfo =
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "30 22 0:40 / /mnt/s rw - cifs //srv/share rw,vers=3.1.1\n"
    "31 22 0:41 / /mnt/t rw - cifs //Srv2/Data/Our\\040Lib/ rw\n"
    "32 22 8:2 / /mnt/u rw - ext4 /dev/sda2 rw\n"
    "33 32 0:42 / /mnt/u rw - smb3 //srv/other rw\n"
    "34 22 0:43 / /mnt/v rw - cifs //srv/hidden rw\n"
    "35 34 8:3 / /mnt/v rw - xfs /dev/sda3 rw\n"
    "36 22 0:44 / /mnt/w rw - nfs4 srv:/export rw\n"
    "37 22 8:4 / /mnt/x rw - ext4 /dev/sda4 rw\n"
    "38 22 0:45 / /home/op/net rw - cifs //srv/home rw\n";

struct NameCase {
  const char* name;
  const char* path;
  std::optional<std::string> expected;
};

void PrintTo(const NameCase& c, std::ostream* os) {
  *os << c.name;
}

class UniversalNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(UniversalNameTest, GivesTheSharesFormOnMappedDrivesOnly) {
  EXPECT_EQ(platform::UniversalNameFromMountInfo(GetParam().path, kMountInfo), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, UniversalNameTest,
    ::testing::Values(NameCase{"MappedDrive", "S:\\Vantor.Cfg\\Lib",
                               "\\\\srv\\share\\Vantor.Cfg\\Lib"},
                      NameCase{"LowerCaseDrive", "s:\\Lib", "\\\\srv\\share\\Lib"},
                      NameCase{"DriveRoot", "S:\\", "\\\\srv\\share\\"},
                      NameCase{"SameDriveThroughC", "C:\\mnt\\s\\Lib", "\\\\srv\\share\\Lib"},
                      NameCase{"ShareSubFolderWithBlank", "T:\\x", "\\\\Srv2\\Data\\Our Lib\\x"},
                      NameCase{"Smb3StackedOnLocal", "U:\\x", "\\\\srv\\other\\x"},
                      NameCase{"LocalStackedOnShare", "V:\\x", std::nullopt},
                      NameCase{"NfsIsNoShare", "W:\\x", std::nullopt},
                      NameCase{"LocalDrive", "X:\\x", std::nullopt},
                      NameCase{"LocalC", "C:\\Vantor.Cfg\\Lib", std::nullopt},
                      NameCase{"NoSuchDrive", "Q:\\x", std::nullopt},
                      NameCase{"ShareOutsideTheDrives", "C:\\home\\op\\net\\x", std::nullopt},
                      NameCase{"MntSPrefixIsNotTheDrive", "C:\\mnt\\sx\\Lib", std::nullopt},
                      NameCase{"AlreadyNetwork", "\\\\srv\\share\\x", std::nullopt},
                      NameCase{"Relative", "Lib", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
