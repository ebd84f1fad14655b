// Reading a whole file on a POSIX host: every byte as it is, and the open
// errors the settings component reports.
#include "platform/whole_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "platform/file_open_error.h"
#include "scratch_dir.h"

namespace {

using platform_test::ScratchDir;

TEST(WholeFileTest, ReadsEveryByte) {
  const ScratchDir dir;
  std::string bytes(200000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  dir.AddFile("big.bin", bytes);
  EXPECT_EQ(platform::ReadWholeFile((dir.Path() / "big.bin").string()), bytes);
  dir.AddFile("empty.ini");
  EXPECT_EQ(platform::ReadWholeFile((dir.Path() / "empty.ini").string()), "");
}

TEST(WholeFileTest, AMissingFileNamesItsFullPathAndTheReason) {
  const ScratchDir dir;
  const platform_test::CurrentDirectory inside(dir.Path());
  try {
    platform::ReadWholeFile("sub/../missing.ini");
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + (dir.Path() / "missing.ini").string() +
                               "\". No such file or directory");
  }
}

TEST(WholeFileTest, APipeWithoutAWriterReadsEmptyInsteadOfWaiting) {
  const ScratchDir dir;
  const std::string pipe = (dir.Path() / "Vantor.ini").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(platform::ReadWholeFile(pipe), "");
}

}  // namespace
