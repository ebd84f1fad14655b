// Save Log's file name and bytes in the system's ANSI code page (the
// locale's on POSIX hosts, GetACP's on Windows), what the operator reads
// when the file cannot be created, and, on POSIX hosts, a file that only its
// owner may read.
#include "app/save_log.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/exception.h"
#include "temp_dir.h"
#include "working_dir.h"

#if defined(_WIN32)
#include <windows.h>

#include "win32_host.h"
#else
#include "file_mode.h"
#endif

namespace app_test {
namespace {

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
  // The code page the case holds for: on POSIX hosts the locale that sets it
  // up, on Windows the number GetACP must answer (it cannot be changed from
  // inside the program).
  const char* code_page;
  std::string log;
  std::string bytes;
};

// Test listings show the case by its name.
void PrintTo(const BytesCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class SavedLogBytesTest : public ::testing::TestWithParam<BytesCase> {
 protected:
  void SetUp() override {
#if defined(_WIN32)
    if (std::to_string(GetACP()) != GetParam().code_page) {
      GTEST_SKIP() << "the ANSI code page is " << GetACP();
    }
#else
    if (std::setlocale(LC_ALL, GetParam().code_page) == nullptr) FAIL() << "no locale";
#endif
  }
  // The locale the test process started with.
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
  }
};

TEST_P(SavedLogBytesTest, InTheSystemsCodePage) {
  EXPECT_EQ(SavedLogBytes(GetParam().log), GetParam().bytes);
}

const std::string kBom = "\xEF\xBB\xBF";

#if defined(_WIN32)
// Wine takes the ANSI code page from the POSIX locale: 1252 under an English
// or C one, 932 (Shift-JIS) under a Japanese one, UTF-8 under a Hindi one,
// which has no other.
INSTANTIATE_TEST_SUITE_P(
    Cases, SavedLogBytesTest,
    ::testing::Values(BytesCase{"Empty", "1252", "", ""},
                      BytesCase{"LineEndsKept", "1252", "a\r\nb\r\ntyped", "a\r\nb\r\ntyped"},
                      BytesCase{"WesternLetters", "1252", "Zo\xC3\xAB Jos\xC3\xA9 \xE2\x82\xAC\r\n",
                                "Zo\xEB Jos\xE9 \x80\r\n"},
                      BytesCase{"MissingCharactersBecomeTheDefault", "1252",
                                "\xCE\xA9 \xC5\x81 \xE4\xB8\xAD\r\n", "? ? ?\r\n"},
                      BytesCase{"OneDefaultPerCharacter", "1252", "\xF0\x9D\x84\x9E!", "?!"},
                      BytesCase{"StrayBytes", "1252",
                                "a\xFF"
                                "b\xC3",
                                "a?b?"},
                      BytesCase{"ShiftJisTwoBytesPerKanji", "932",
                                "\xCE\xA9 \xE4\xB8\xAD\xE6\x96\x87 \xEF\xBD\xB1\r\n",
                                "\x83\xB6 \x92\x86\x95\xB6 \xB1\r\n"},
                      BytesCase{"ShiftJisLacksWesternLetters", "932",
                                "Zo\xC3\xAB \xE2\x82\xAC \xF0\x9D\x84\x9E", "Zo? ? ?"},
                      BytesCase{"EmptyUtf8HasNoMark", "65001", "", ""},
                      BytesCase{"Utf8WithMark", "65001", "Zo\xC3\xAB\r\n",
                                kBom + "Zo\xC3\xAB\r\n"}),
    [](const auto& AInfo) { return std::string(AInfo.param.name); });
#else
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
#endif

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

struct FailureCase {
  const char* name;
  const char* file;
  const char* full;  // below the working directory
  std::string reason;
};

// Tests run as root, whom a read-only directory does not stop; a directory
// in the file's place and a missing directory fail for everyone. Windows
// resolves ".." before it looks at the disk, POSIX hosts after.
std::vector<FailureCase> FailureCases() {
#if defined(_WIN32)
  return {{"DirectoryInItsPlace", "03140509.log", "03140509.log",
           platform_test::SystemText(ERROR_ACCESS_DENIED)},
          {"MissingDirectory", "missing\\03140510.log", "missing\\03140510.log",
           platform_test::SystemText(ERROR_PATH_NOT_FOUND)}};
#else
  return {
      {"DirectoryInItsPlace", "03140509.log", "03140509.log", "Is a directory"},
      {"MissingDirectory", "missing/../03140510.log", "03140510.log", "No such file or directory"}};
#endif
}

TEST(SaveLogAsTest, FailureNamesTheFullPathAndTheSystemsReason) {
  WorkingDir dir;
  std::filesystem::create_directory("03140509.log");
  for (const FailureCase& c : FailureCases()) {
    SCOPED_TRACE(c.name);
    try {
      SaveLogAs(c.file, "log\r\n");
      ADD_FAILURE() << "saved";
    } catch (const Exception& error) {
      EXPECT_EQ(error.Message(),
                "Cannot create file \"" + (dir.path() / c.full).string() + "\". " + c.reason);
    }
  }
}

#if !defined(_WIN32)
// What a case finds at the name before the save.
enum class AtTheName { kNothing, kFile, kLinkToAFile, kLinkToNothing };

struct PrivateFileCase {
  const char* name;
  AtTheName before;
};

// Test listings show the case by its name.
void PrintTo(const PrivateFileCase& ACase, std::ostream* AOut) {
  *AOut << ACase.name;
}

class SaveLogAsPrivateFileTest : public ::testing::TestWithParam<PrivateFileCase> {};

// The log names inmates: whatever the umask and whatever stood at the name,
// the saved file is its owner's alone, and a link planted at the name is
// refused rather than followed to a file elsewhere, which stays as it was.
TEST_P(SaveLogAsPrivateFileTest, OnlyTheOwnerMayReadTheSavedFile) {
  WorkingDir dir;
  const ScopedUmask umask(022);
  const AtTheName before = GetParam().before;
  if (before == AtTheName::kFile || before == AtTheName::kLinkToAFile) {
    const std::string file = before == AtTheName::kFile ? "saved.log" : "elsewhere.txt";
    std::ofstream(file) << "a much longer text than the log";
    std::filesystem::permissions(file, std::filesystem::perms(0644));
  }
  if (before == AtTheName::kLinkToAFile || before == AtTheName::kLinkToNothing) {
    std::filesystem::create_symlink("elsewhere.txt", "saved.log");
  }

  if (before == AtTheName::kNothing || before == AtTheName::kFile) {
    SaveLogAs("saved.log", "log\r\n");
    EXPECT_EQ(OctalMode("saved.log"), "0600");
    EXPECT_EQ(standin_test::ReadFile("saved.log"), "log\r\n");
    return;
  }
  try {
    SaveLogAs("saved.log", "log\r\n");
    ADD_FAILURE() << "saved";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Cannot create file \"" + (dir.path() / "saved.log").string() +
                                   "\". Too many levels of symbolic links");
  }
  EXPECT_TRUE(std::filesystem::is_symlink("saved.log"));
  if (before == AtTheName::kLinkToAFile) {
    EXPECT_EQ(OctalMode("elsewhere.txt"), "0644");
    EXPECT_EQ(standin_test::ReadFile("elsewhere.txt"), "a much longer text than the log");
  } else {
    EXPECT_FALSE(std::filesystem::exists("elsewhere.txt"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveLogAsPrivateFileTest,
    ::testing::Values(PrivateFileCase{"NewFile", AtTheName::kNothing},
                      PrivateFileCase{"ExistingFileEmptiedAndMadePrivate", AtTheName::kFile},
                      PrivateFileCase{"LinkToAFileRefused", AtTheName::kLinkToAFile},
                      PrivateFileCase{"LinkToNothingRefused", AtTheName::kLinkToNothing}),
    [](const auto& AInfo) { return std::string(AInfo.param.name); });
#endif

}  // namespace
}  // namespace app_test
