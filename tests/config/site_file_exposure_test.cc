// Whether the site file gives its password to every user of the host, on
// real files of this host: the permission bits and the connection string
// together decide.
#include "config/site_file_exposure.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "scratch_dir.h"

namespace {

using platform_test::ScratchDir;

struct ExposureCase {
  const char* name;
  std::filesystem::perms mode;
  const char* text;  // the file
  bool exposed;
};

void PrintTo(const ExposureCase& c, std::ostream* os) {
  *os << c.name;
}

class SiteFileExposureTest : public ::testing::TestWithParam<ExposureCase> {};

TEST_P(SiteFileExposureTest, OthersMayReadAPassword) {
  const ExposureCase& c = GetParam();
  ScratchDir site;
  site.AddFile("Vantor.ini", c.text);
  const std::filesystem::path file = site.Path() / "Vantor.ini";
  std::filesystem::permissions(file, c.mode);
  EXPECT_EQ(SiteFileExposesPassword(file.string(), platform::SystemDisk()), c.exposed);
}

constexpr const char* kWithPassword =
    "[DataProvider]\r\nConnStr=Data Source=s;User ID=u;Password=secret\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, SiteFileExposureTest,
    ::testing::Values(
        ExposureCase{"ReadableByAll", std::filesystem::perms(0644), kWithPassword, true},
        ExposureCase{"ReadableByOthersNotTheGroup", std::filesystem::perms(0604), kWithPassword,
                     true},
        ExposureCase{"ReadableByTheGroup", std::filesystem::perms(0640), kWithPassword, false},
        ExposureCase{"ReadableByTheOwner", std::filesystem::perms(0600), kWithPassword, false},
        ExposureCase{"NoPassword", std::filesystem::perms(0644),
                     "[DataProvider]\r\nConnStr=Data Source=s;User ID=sa\r\n", false},
        ExposureCase{"EmptyPassword", std::filesystem::perms(0644),
                     "[DataProvider]\r\nConnStr=Data Source=s;User ID=sa;Password=\r\n", false},
        ExposureCase{"PwdInAnyLetterCase", std::filesystem::perms(0644),
                     "[DataProvider]\r\nConnStr=Data Source=s;pWd=secret\r\n", true},
        ExposureCase{"QuotedPassword", std::filesystem::perms(0644),
                     "[DataProvider]\r\nConnStr=Data Source=s;Password=\"se;cret\"\r\n", true},
        ExposureCase{"PasswordOutsideTheConnectionString", std::filesystem::perms(0644),
                     "[DataProvider]\r\nConnStr=Data Source=s\r\n[Other]\r\nConnStr=Password=x\r\n",
                     false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
