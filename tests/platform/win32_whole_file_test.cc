// Reading a whole file through CreateFileW: every byte, and the open errors
// the settings component reports with the system's reason.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/file_open_error.h"
#include "platform/whole_file.h"
#include "platform/win32_text.h"
#include "scratch_dir.h"
#include "win32_host.h"

namespace {

using platform_test::ScratchDir;

TEST(Win32WholeFileTest, ReadsEveryByte) {
  const ScratchDir dir;
  std::string bytes(200000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  dir.AddFile("big.bin", bytes);
  EXPECT_EQ(platform::ReadWholeFile((dir.Path() / "big.bin").string()), bytes);
  dir.AddFile("empty.ini");
  EXPECT_EQ(platform::ReadWholeFile((dir.Path() / "empty.ini").string()), "");
}

TEST(Win32WholeFileTest, OtherReadersMayShareTheFile) {
  const ScratchDir dir;
  dir.AddFile("Vantor.ini", "[Paths]\n");
  const std::string name = (dir.Path() / "Vantor.ini").string();
  const HANDLE reader = CreateFileW(platform::WideFromUtf8(name).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(platform::ReadWholeFile(name), "[Paths]\n");
  CloseHandle(reader);
}

TEST(Win32WholeFileTest, AMissingFileNamesItsFullPathAndTheSystemsReason) {
  const ScratchDir dir;
  const platform_test::CurrentDirectory inside(dir.Path());
  try {
    platform::ReadWholeFile("sub\\..\\missing.ini");
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + (dir.Path() / "missing.ini").string() + "\". " +
                               platform_test::SystemText(ERROR_FILE_NOT_FOUND));
  }
}

// The file is read while no one else may write it, so a writer that is
// already at work keeps it from being read.
TEST(Win32WholeFileTest, AFileBeingWrittenCannotBeOpened) {
  const ScratchDir dir;
  dir.AddFile("Vantor.ini", "[Paths]\n");
  const std::string name = (dir.Path() / "Vantor.ini").string();
  const HANDLE writer =
      CreateFileW(platform::WideFromUtf8(name).c_str(), GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  try {
    platform::ReadWholeFile(name);
    ADD_FAILURE() << "read while being written";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + name + "\". " +
                               platform_test::SystemText(ERROR_SHARING_VIOLATION));
  }
  CloseHandle(writer);
}

}  // namespace
