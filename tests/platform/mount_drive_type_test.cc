// Drive types of a POSIX host, from mount tables the tests write.
#include "platform/mount_drive_type.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

namespace {

using platform::DriveType;

// A host's mount table: "/" on a local disk, a USB stick (device 8:17, its
// disk removable) and a DVD, network shares, a local disk on /mnt/g, a mount
// stacked on another, and lines the kernel would not write.
constexpr std::string_view kMountInfo =
    "22 1 0:21 / / rw,relatime shared:1 - overlay overlay rw,lowerdir=/l\n"
    "30 22 8:17 / /mnt/d rw,nosuid shared:5 - vfat /dev/sdb1 rw,fmask=0022\n"
    "31 22 11:0 / /mnt/e ro - iso9660 /dev/sr0 ro\n"
    "32 22 0:40 / /mnt/f rw master:3 - nfs4 srv:/export rw,vers=4.2\n"
    "33 22 8:2 /data /mnt/g rw - ext4 /dev/sda2 rw\n"
    "34 22 0:41 / /mnt/h rw - cifs //srv/share rw\n"
    "35 22 0:42 / /mnt/i rw - fuse.sshfs user@host: rw\n"
    "36 22 8:3 / /mnt/j rw - ext4 /dev/sda3 rw\n"
    "37 36 0:43 / /mnt/j rw - smb3 //srv/other rw\n"
    "38 22 0:44 / /mnt/k rw - nfs srv:/a rw\n"
    "39 38 8:4 / /mnt/k rw - xfs /dev/sda4 rw\n"
    "42 22 8:6 / /mnt/m rw - udf /dev/sr1 ro\n"
    "garbage line\n"
    "43 22 8:7 / /mnt/n rw nfs /dev/sda7 rw\n"
    "45 22 0:47 / /mnt/a rw - ext4 /dev/sda9 rw\n"
    "46 22 0:48 / /mnt/o rw a:1 b:2 c:3 - ext4 /dev/sda10 rw";

// The kernel says 8:17 is removable (as a partition of a removable disk).
bool IsRemovable(std::string_view ADevice) {
  return ADevice == "8:17";
}

struct DriveCase {
  const char* name;
  const char* root;
  DriveType type;
};

void PrintTo(const DriveCase& c, std::ostream* os) {
  *os << c.name;  // a root's trailing "\\" would escape the line end in test discovery
}

class MountDriveTypeTest : public ::testing::TestWithParam<DriveCase> {};

TEST_P(MountDriveTypeTest, ClassifiesDrive) {
  EXPECT_EQ(platform::DriveTypeFromMountInfo(GetParam().root, kMountInfo, IsRemovable),
            GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(
    Drives, MountDriveTypeTest,
    ::testing::Values(DriveCase{"CIsRootOnLocalDisk", "C:\\", DriveType::kFixed},
                      DriveCase{"LowerCaseLetter", "c:\\", DriveType::kFixed},
                      DriveCase{"RemovableStick", "D:\\", DriveType::kNoRootDir},
                      DriveCase{"OpticalIso9660", "E:\\", DriveType::kNoRootDir},
                      DriveCase{"OpticalUdf", "M:\\", DriveType::kNoRootDir},
                      DriveCase{"Nfs", "F:\\", DriveType::kRemote},
                      DriveCase{"LocalDisk", "G:\\", DriveType::kFixed},
                      DriveCase{"Cifs", "H:\\", DriveType::kRemote},
                      DriveCase{"Sshfs", "I:\\", DriveType::kRemote},
                      DriveCase{"NetworkStackedOnLocal", "J:\\", DriveType::kRemote},
                      DriveCase{"LocalStackedOnNetwork", "K:\\", DriveType::kFixed},
                      DriveCase{"LineWithoutSeparatorIgnored", "N:\\", DriveType::kNoRootDir},
                      DriveCase{"ManyOptionalFields", "O:\\", DriveType::kFixed},
                      DriveCase{"NotAMountPoint", "Z:\\", DriveType::kNoRootDir},
                      DriveCase{"FloppyANeverADrive", "A:\\", DriveType::kNoRootDir},
                      DriveCase{"SlashRoot", "G:/", DriveType::kFixed},
                      DriveCase{"NoSeparator", "G:", DriveType::kNoRootDir},
                      DriveCase{"NotARoot", "G:\\data", DriveType::kNoRootDir},
                      DriveCase{"NotALetter", "1:\\", DriveType::kNoRootDir}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MountDriveTypeTest, EscapedMountPointsMatchTheirDecodedName) {
  // The kernel writes blanks, backslashes and the like as octal escapes;
  // "/mnt/\154" is "/mnt/l".
  constexpr std::string_view kTable =
      "22 1 0:21 / / rw - ext4 /dev/sda1 rw\n"
      "23 22 0:45 / /mnt/\\154 rw - nfs srv:/b rw\n";
  EXPECT_EQ(platform::DriveTypeFromMountInfo("L:\\", kTable, IsRemovable), DriveType::kRemote);
}

TEST(MountDriveTypeTest, DriveCIsFixedWhenTheTableLacksRoot) {
  EXPECT_EQ(platform::DriveTypeFromMountInfo("C:\\", "", IsRemovable), DriveType::kFixed);
  EXPECT_EQ(platform::DriveTypeFromMountInfo("D:\\", "", IsRemovable), DriveType::kNoRootDir);
}

}  // namespace
