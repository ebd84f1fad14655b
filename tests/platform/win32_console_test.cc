// A Windows program's arguments come from its UTF-16 command line: `argv`
// holds only what the ANSI code page can spell, so "Ω" would arrive as "?".
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/win32_text.h"

namespace {

// A copy of this program started by the next test finds the arguments it
// must report here, one per line.
constexpr const wchar_t* kExpected = L"SYNCH_TEST_EXPECTED_ARGUMENTS";

TEST(Win32ArgumentsTest, AreTheCommandLinesInUtf8) {
  wchar_t expected[4096];
  if (GetEnvironmentVariableW(kExpected, expected, 4096) == 0) {
    GTEST_SKIP() << "run by AStartedCopyGetsEveryCharacter";
  }
  std::string lines;
  for (const std::string& argument : platform::ProgramArguments(0, nullptr)) {
    // The copy's own filter is not one of the arguments under test.
    if (!argument.starts_with("--gtest_")) lines += argument + "\n";
  }
  EXPECT_EQ(lines, platform::Utf8FromWide(expected));
}

TEST(Win32ArgumentsTest, AStartedCopyGetsEveryCharacter) {
  // Zoë, "Ω 中" (one argument with a blank), a quote, an empty argument.
  const std::wstring expected = L"Zo\x00EB\n\x03A9 \x4E2D\na\"b\n\n";
  wchar_t self[MAX_PATH];
  ASSERT_NE(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  std::wstring command = std::wstring(L"\"") + self +
                         L"\" --gtest_filter=Win32ArgumentsTest.AreTheCommandLinesInUtf8 "
                         L"Zo\x00EB \"\x03A9 \x4E2D\" a\\\"b \"\"";
  ASSERT_TRUE(SetEnvironmentVariableW(kExpected, expected.c_str()));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &startup, &process);
  SetEnvironmentVariableW(kExpected, nullptr);
  ASSERT_TRUE(started) << GetLastError();
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(exitCode, 0u) << "the copy was given other arguments";
}

}  // namespace
