// The password check every end-to-end run goes through: which passwords it
// finds in connect strings, and that one found in an output fails the test.
#include <gmock/gmock.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "installed_program.h"

namespace e2e_test {
namespace {

using ::testing::ElementsAreArray;

struct Extraction {
  const char* text;
  std::vector<std::string> passwords;
};

const Extraction kExtractions[] = {
    {"Data Source=x;User ID=u;Password=Secret-1", {"Secret-1"}},
    {"PASSWORD = Secret-2 ;Data Source=x", {"Data Source", "Secret-2", "x"}},
    {"pwd=Secret-3\r\nConnStr=x", {"Secret-3"}},
    {"Password=\"Se;cr=et 4\";X=1", {"Se;cr=et 4"}},
    {"Password='Se\"cret 5'", {"Se\"cret 5"}},
    {"User ID=u;Password=;Pwd=Secret-6", {"Pwd", "Secret-6", "Secret-6"}},
    {"Password=Se;cr=et 9 ; ;Port=1\r\nX=y", {"1", "Port", "Se", "cr", "et 9"}},
    {"[DataProvider]\r\nConnStr=A=1;Password=Secret-7\r\n[X]\r\nPwd=Secret-8",
     {"Secret-7", "Secret-8"}},
    {"Passwords are not entries;PasswordHint=x", {}},
};

TEST(PasswordCheckTest, FindsThePasswordsOfConnectStrings) {
  for (const Extraction& extraction : kExtractions) {
    std::vector<std::string> found = PasswordsIn(extraction.text);
    std::sort(found.begin(), found.end());
    EXPECT_THAT(found, ElementsAreArray(extraction.passwords)) << extraction.text;
  }
}

// Stands for a program that wrote a password into a file of its folder.
TEST(PasswordCheckTest, AFileWithAPasswordFailsTheRun) {
  InstalledProgram program(SYNCH_RUNNER_PATH);
  std::ofstream(program.Scratch() / "left-behind.txt") << "login " << kSiteLogin.password;
  EXPECT_NONFATAL_FAILURE(program.Run({"--version"}), kSiteLogin.password);
}

}  // namespace
}  // namespace e2e_test
