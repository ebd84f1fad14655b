// Who is working where, as a record lock writes it: the names Windows gives
// the logged-on user and the computer.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/identity.h"
#include "platform/win32_text.h"
#include "win32_host.h"

namespace {

std::string Environment(const char* AName) {
  const char* value = std::getenv(AName);
  return value == nullptr ? "" : value;
}

TEST(Win32IdentityTest, TheUserIsTheOneWindowsNames) {
  wchar_t name[256];
  DWORD size = 256;
  ASSERT_TRUE(GetUserNameW(name, &size));
  EXPECT_EQ(platform::UserName(), platform::Utf8FromWide(name));
  EXPECT_NE(platform::UserName(), "");
  EXPECT_NE(platform::UserName(), "unknown");
  // Wine takes the POSIX user's name and tells programs of it as Windows does.
  if (platform_test::RunningUnderWine()) {
    EXPECT_EQ(platform::UserName(), Environment("USERNAME"));
  }
}

TEST(Win32IdentityTest, TheComputerIsTheOneWindowsNames) {
  wchar_t name[256];
  DWORD size = 256;
  ASSERT_TRUE(GetComputerNameW(name, &size));
  EXPECT_EQ(platform::ComputerName(), platform::Utf8FromWide(name));
  EXPECT_NE(platform::ComputerName(), "");
  EXPECT_NE(platform::ComputerName(), "unknown");
  if (platform_test::RunningUnderWine()) {
    EXPECT_EQ(platform::ComputerName(), Environment("COMPUTERNAME"));
  }
}

}  // namespace
