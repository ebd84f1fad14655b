// A file made ready before the work whose text it will hold, on a POSIX host:
// there and private at once, what it held kept until the text is written,
// then the text alone.
#include "platform/new_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "platform/whole_file.h"
#include "scratch_dir.h"

namespace {

struct NewFileCase {
  const char* name;
  std::optional<std::string> before;  // the file at the name, if any
};

void PrintTo(const NewFileCase& c, std::ostream* os) {
  *os << c.name;
}

mode_t PermissionBits(const std::string& AFile) {
  struct stat status {};
  if (stat(AFile.c_str(), &status) != 0) return 0;
  return status.st_mode & 07777;
}

class NewFileTest : public ::testing::TestWithParam<NewFileCase> {};

TEST_P(NewFileTest, IsPrivateAtOnceAndChangesOnlyWhenWritten) {
  const platform_test::ScratchDir dir;
  const std::string name = (dir.Path() / "pass.log").string();
  if (GetParam().before) {
    dir.AddFile("pass.log", *GetParam().before);
    std::filesystem::permissions(name, std::filesystem::perms(0644));
  }

  platform::NewFile file(name);
  EXPECT_EQ(PermissionBits(name), 0600u);
  EXPECT_EQ(platform::ReadWholeFile(name), GetParam().before.value_or(""));

  file.Write("log\r\n");
  EXPECT_EQ(platform::ReadWholeFile(name), "log\r\n");
  EXPECT_EQ(PermissionBits(name), 0600u);
}

INSTANTIATE_TEST_SUITE_P(Cases, NewFileTest,
                         ::testing::Values(NewFileCase{"NoFileBefore", std::nullopt},
                                           NewFileCase{"LongerFileBefore",
                                                       "a much longer text than the log"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
