// Save Log's file name and bytes under the locale's code page, and what the
// operator reads when the file cannot be created.
#include "app/save_log.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/exception.h"
#include "temp_dir.h"
#include "working_dir.h"

namespace app_test {
namespace {

// The locale `AName` for the test's lifetime; "C" afterwards, as the test
// process started.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* AName) {
    if (std::setlocale(LC_ALL, AName) == nullptr) throw std::runtime_error("no locale");
  }
  ~ScopedLocale() { std::setlocale(LC_ALL, "C"); }
};

std::tm Local(int ADay, int AHour, int AMinute, int ASecond) {
  std::tm local{};
  local.tm_mday = ADay;
  local.tm_hour = AHour;
  local.tm_min = AMinute;
  local.tm_sec = ASecond;
  return local;
}

TEST(LogFileNameTest, DayHoursMinutesSecondsTwoDigitsEach) {
  EXPECT_EQ(LogFileName(Local(3, 14, 5, 9)), "03140509.log");
  EXPECT_EQ(LogFileName(Local(31, 0, 0, 0)), "31000000.log");
  EXPECT_EQ(LogFileName(Local(1, 23, 59, 59)), "01235959.log");
}

struct BytesCase {
  const char* name;
  const char* locale;
  std::string log;
  std::string bytes;
};

// Test listings show the case by its name.
void PrintTo(const BytesCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class SavedLogBytesTest : public ::testing::TestWithParam<BytesCase> {};

TEST_P(SavedLogBytesTest, InTheLocalesCodePage) {
  ScopedLocale locale(GetParam().locale);
  EXPECT_EQ(SavedLogBytes(GetParam().log), GetParam().bytes);
}

const std::string kBom = "\xEF\xBB\xBF";

INSTANTIATE_TEST_SUITE_P(
    Cases, SavedLogBytesTest,
    ::testing::Values(
        BytesCase{"EmptyAscii", "C", "", ""}, BytesCase{"EmptyUtf8HasNoMark", "C.UTF-8", "", ""},
        BytesCase{"LineEndsKept", "C", "a\r\nb\r\ntyped", "a\r\nb\r\ntyped"},
        BytesCase{"MissingCharactersBecomeTheDefault", "C", "Zo\xC3\xAB Jos\xC3\xA9\r\n",
                  "Zo? Jos?\r\n"},
        BytesCase{"OneDefaultPerCharacter", "C", "\xE2\x82\xAC \xF0\x9D\x84\x9E!", "? ?!"},
        BytesCase{"StrayBytes", "C",
                  "a\xFF"
                  "b\xC3",
                  "a?b?"},
        BytesCase{"Utf8WithMark", "C.UTF-8", "Zo\xC3\xAB\r\n", kBom + "Zo\xC3\xAB\r\n"}),
    [](const auto& AInfo) { return std::string(AInfo.param.name); });

TEST(SaveLogAsTest, ReplacesAnExistingFile) {
  WorkingDir dir;
  std::ofstream("03140509.log") << "a much longer text than the log";
  SaveLogAs("03140509.log", "log\r\n");
  EXPECT_EQ(standin_test::ReadFile(dir.path() / "03140509.log"), "log\r\n");
}

TEST(SaveLogAsTest, AnEmptyLogMakesAnEmptyFile) {
  WorkingDir dir;
  SaveLogAs("empty.log", "");
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "empty.log"));
  EXPECT_EQ(std::filesystem::file_size(dir.path() / "empty.log"), 0u);
}

// Tests run as root, whom a read-only directory does not stop; a directory
// in the file's place and a missing directory fail for everyone.
TEST(SaveLogAsTest, FailureNamesTheFullPathAndTheSystemsReason) {
  WorkingDir dir;
  std::filesystem::create_directory("03140509.log");
  const std::string full = (dir.path() / "03140509.log").string();
  try {
    SaveLogAs("03140509.log", "log\r\n");
    FAIL() << "saved over a directory";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Cannot create file \"" + full + "\". Is a directory");
  }
  try {
    SaveLogAs("missing/../03140510.log", "log\r\n");
    FAIL() << "saved into a missing directory";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Cannot create file \"" + (dir.path() / "03140510.log").string() +
                                   "\". No such file or directory");
  }
}

}  // namespace
}  // namespace app_test
