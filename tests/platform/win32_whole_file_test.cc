// Reading a whole file through CreateFileW: every byte, and the open errors
// the settings component reports with the system's reason.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
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

// Neither a device, a pipe nor a file too large for settings is read: the
// first two may never end, the last only fills memory.
TEST(Win32WholeFileTest, WhatIsNoFileOfSettingsIsRefused) {
  const ScratchDir dir;
  dir.AddFile("Vantor.ini");
  const std::filesystem::path large = dir.Path() / "Vantor.ini";
  std::filesystem::resize_file(large, platform::kWholeFileLimit + 1);
  const std::filesystem::path exact = dir.Path() / "exact.ini";
  dir.AddFile("exact.ini");
  std::filesystem::resize_file(exact, platform::kWholeFileLimit);
  EXPECT_EQ(platform::ReadWholeFile(exact.string()).size(), platform::kWholeFileLimit);

  // A pipe whose server end this test holds, as a program writing it would.
  const std::string pipe = "\\\\.\\pipe\\whole-file-test-" + std::to_string(GetCurrentProcessId());
  const HANDLE server = CreateNamedPipeW(platform::WideFromUtf8(pipe).c_str(), PIPE_ACCESS_OUTBOUND,
                                         PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);

  const struct {
    std::string name;
    const char* reason;
  } cases[] = {{"NUL", "Not a regular file"},
               {pipe, "Not a regular file"},
               {large.string(), "File larger than 16 MiB"}};
  for (const auto& c : cases) {
    try {
      platform::ReadWholeFile(c.name);
      ADD_FAILURE() << c.name << " read";
    } catch (const EFOpenError& e) {
      EXPECT_TRUE(e.Message().starts_with("Cannot open file \"")) << e.Message();
      EXPECT_TRUE(e.Message().ends_with("\". " + std::string(c.reason))) << e.Message();
    }
  }
  CloseHandle(server);
}

}  // namespace
