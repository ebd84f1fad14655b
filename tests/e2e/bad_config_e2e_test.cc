// Site configuration files as sites may really have them, or worse:
// malformed, huge, binary and in the wrong encoding. Each one either starts
// the program as the intact file would or ends it with a clear message; none
// crashes it or keeps it waiting.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <thread>

#include "installed_program.h"

namespace e2e_test {
namespace {

// The file's bytes from the site's own connect string.
using FileMaker = std::string (*)(const std::string& AConnStr);

struct BadConfig {
  const char* name;
  FileMaker file;
  // After "Application Error: " as a pattern, "<ini>" for the file's path;
  // empty: the program starts as with the intact file.
  const char* message;
};

constexpr char kNotFound[] =
    "EIniFileException: Database connection information not found in <ini> "
    "\\(DataProvider\\.ConnStr\\)";

std::string Intact(const std::string& AConnStr) {
  return "[DataProvider]\r\nConnStr=" + AConnStr + "\r\n";
}

std::string Utf16(const std::string& AAscii, bool ABigEndian) {
  std::string bytes;
  for (char c : AAscii) {
    bytes += ABigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  }
  return bytes;
}

std::string Noise(std::size_t ASize, unsigned ASeed) {
  std::mt19937 random(ASeed);
  std::string bytes(ASize, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

std::string Lines(std::size_t ACount, const std::string& APrefix, const std::string& ASuffix) {
  std::string text;
  for (std::size_t i = 0; i < ACount; ++i) text += APrefix + std::to_string(i) + ASuffix;
  return text;
}

const BadConfig kBadConfigs[] = {
    // Encodings.
    {"Utf8Mark", [](const std::string& c) { return "\xEF\xBB\xBF" + Intact(c); }, ""},
    {"Utf16LittleEndianMark",
     [](const std::string& c) { return "\xFF\xFE" + Utf16(Intact(c), false); }, ""},
    {"Utf16BigEndianMark", [](const std::string& c) { return "\xFE\xFF" + Utf16(Intact(c), true); },
     ""},
    {"Utf16OddLastByte",
     [](const std::string& c) { return "\xFF\xFE" + Utf16(Intact(c), false) + "\x41"; }, ""},
    {"Utf16UnpairedSurrogates",
     [](const std::string& c) {
       return "\xFF\xFE" + Utf16("; ", false) + "\x00\xD8\x00\xDC\x00\xDC" +
              Utf16("\r\n" + Intact(c), false);
     },
     ""},
    {"Utf16WithoutMark", [](const std::string& c) { return Utf16(Intact(c), false); }, kNotFound},
    {"TruncatedUtf8Mark", [](const std::string& c) { return "\xEF\xBB" + Intact(c); }, kNotFound},
    {"TruncatedUtf16Mark", [](const std::string& c) { return "\xFF" + Utf16(Intact(c), false); },
     kNotFound},
    {"MarkOnly", [](const std::string&) { return std::string("\xEF\xBB\xBF"); }, kNotFound},
    {"InvalidUtf8InComment",
     [](const std::string& c) {
       return "\xEF\xBB\xBF; \xC3\x28 \xFF\xFE \xED\xA0\x80\r\n" + Intact(c);
     },
     ""},
    {"Latin1Comment",
     [](const std::string& c) { return "; R\xE9glages du si\xE8ge\r\n" + Intact(c); }, ""},
    {"Latin1HelpPath",
     [](const std::string& c) { return Intact(c) + "[Paths]\r\nHelpPath=C:\\Aide\\G\xF4le\r\n"; },
     ""},
    // The byte as it is in a UTF-8 locale, U+FFFD in others.
    {"InvalidUtf8InConnStr",
     [](const std::string& c) { return Intact("Application Name=Ge\xC3(le;" + c); },
     "Exception: Invalid character '(\xC3|\xEF\xBF\xBD)' in non-quoted connection parameter "
     "value"},
    // Without a mark, in the locale's code page: UTF-8 refuses the bytes,
    // others decode them to another password.
    {"InvalidUtf8InPassword", [](const std::string& c) { return Intact(c + "\xE4\x80-x"); },
     "(Exception: Invalid UTF-8 text|EMSError: Login failed for user 'jailsync'\\.)"},
    {"NulBytesInComment",
     [](const std::string& c) { return std::string("; a\0b\0\0c\r\n", 10) + Intact(c); }, ""},
    {"NulBytesAroundTheEntry",
     [](const std::string& c) {
       return "[DataProvider]\r\n" + std::string(3, '\0') + "ConnStr=" + c + std::string(3, '\0');
     },
     ""},
    // Binary.
    {"Noise", [](const std::string&) { return Noise(1 << 16, 7); }, kNotFound},
    {"NoiseThenSettings",
     [](const std::string& c) { return "; " + Noise(1 << 16, 8) + "\r\n" + Intact(c); }, ""},
    {"SettingsThenNoise",
     [](const std::string& c) { return Intact(c) + "[Trailer]\r\n" + Noise(1 << 16, 9); }, ""},
    // Size.
    {"HugeComment",
     [](const std::string& c) {
       return Lines(400000, "; comment line number ", " of many\r\n") + Intact(c);
     },
     ""},
    {"HugeLine",
     [](const std::string& c) { return std::string(15 << 20, 'x') + "\r\n" + Intact(c); }, ""},
    // Beyond 16 MiB a file is no file of settings; reading it would only
    // fill memory.
    {"LargerThanAnySettings",
     [](const std::string& c) { return std::string(24 << 20, 'x') + "\r\n" + Intact(c); },
     "EFOpenError: Cannot open file \"<ini>\"\\. File larger than 16 MiB"},
    {"HugeValueElsewhere",
     [](const std::string& c) {
       return Intact(c) + "[Paths]\r\nHelpPath=" + std::string(8 << 20, 'h') + "\r\n";
     },
     ""},
    {"HugeQuotedValueInConnStr",
     [](const std::string& c) {
       return Intact(c + ";Application Name=\"" + std::string(1 << 20, 'a') + "\"");
     },
     ""},
    {"HugePasswordInConnStr",
     [](const std::string& c) { return Intact(c + "x" + std::string(1 << 20, 'p')); },
     "EMSError: Login failed for user 'jailsync'\\."},
    {"HugeDataSource",
     [](const std::string& c) {
       return Intact("Data Source=" + std::string(1 << 20, 'd') + c.substr(c.find(';')));
     },
     "EOLEDBError: Unable to connect: Adaptive Server is unavailable or does not exist[\\s\\S]*"},
    {"ManySections",
     [](const std::string& c) { return Lines(300000, "[Section", "]\r\nKey=1\r\n") + Intact(c); },
     ""},
    {"ManyKeys",
     [](const std::string& c) {
       return "[DataProvider]\r\n" + Lines(300000, "Key", "=value\r\n") + "ConnStr=" + c + "\r\n";
     },
     ""},
    {"GarbageInTheOtherSettings",
     [](const std::string& c) {
       std::string lib;
       for (int i = 0; i < 100000; ++i) lib += "..\\";
       return Intact(c) + "[Paging]\r\nEnabled=99999999999999999999999\r\n[Server]\r\n" +
              std::string("ServerKey=\0\xFF\xFE\r\n", 15) + "[Paths]\r\nLibPath=" + lib + "\r\n";
     },
     ""},
    // Malformed.
    {"EmptyFile", [](const std::string&) { return std::string(); }, kNotFound},
    {"UnclosedSection",
     [](const std::string& c) { return "[DataProvider\r\nConnStr=" + c + "\r\n"; }, kNotFound},
    {"EntryWithoutEquals",
     [](const std::string& c) { return "[DataProvider]\r\nConnStr " + c + "\r\n"; }, kNotFound},
    {"BlankConnStr",
     [](const std::string&) { return std::string("[DataProvider]\r\nConnStr=  \t \r\n"); },
     kNotFound},
    {"EntryBeforeAnySection", [](const std::string& c) { return "ConnStr=" + c + "\r\n"; },
     kNotFound},
    {"FirstOfTwoEntriesCounts",
     [](const std::string& c) { return Intact(c) + "ConnStr=Data Source=127.0.0.1;Port=1\r\n"; },
     ""},
    {"SectionGivenTwice",
     [](const std::string& c) {
       return "[DataProvider]\r\nX=1\r\n[Paths]\r\n[dataprovider]\r\nConnStr=" + c + "\r\n";
     },
     ""},
    {"BlanksAndTabs",
     [](const std::string& c) {
       return " \t[ DataProvider ] \r\n\t ConnStr \t=\t " + c + " \t\r\n";
     },
     ""},
    {"CarriageReturnsOnly",
     [](const std::string& c) { return "; x\r[DataProvider]\rConnStr=" + c + "\r"; }, ""},
    {"LineFeedsOnly", [](const std::string& c) { return "[DataProvider]\nConnStr=" + c; }, ""},
    {"ConnStrOfNamelessEntries",
     [](const std::string&) { return std::string("[DataProvider]\r\nConnStr=;;=a;;=b;\r\n"); },
     "Exception: Connection parameter name missing"},
};

void PrintTo(const BadConfig& AConfig, std::ostream* AOut) {
  *AOut << AConfig.name;
}

std::string Name(const ::testing::TestParamInfo<BadConfig>& AInfo) {
  return AInfo.param.name;
}

class BadConfigRunnerTest : public ::testing::TestWithParam<BadConfig> {};

TEST_P(BadConfigRunnerTest, StartsOrEndsWithAClearMessage) {
  InstalledProgram program(SYNCH_RUNNER_PATH);
  program.Site().WriteIni(GetParam().file(program.Site().SiteConnectString()));
  const RunResult result = program.Run();
  if (*GetParam().message == '\0') {
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(std::regex_match(result.err, kCompletedPass)) << result.err;
    EXPECT_EQ(program.TraceLinesWith("FROM ConnectLib").size(), 2u);
    return;
  }
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_TRUE(std::regex_match(result.err,
                               StartUpErrorPattern(program.Site().IniPath(), GetParam().message)))
      << result.err;
  EXPECT_THAT(program.TraceLinesWith("CFGPROPL"), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(, BadConfigRunnerTest, ::testing::ValuesIn(kBadConfigs), Name);

// The window shows a start-up failure in a box that waits for the operator,
// so it must still be up a while later either way; only an intact start
// looks the registry up.
class BadConfigWindowTest : public ::testing::TestWithParam<BadConfig> {};

TEST_P(BadConfigWindowTest, StaysUp) {
  InstalledProgram program(SYNCH_WINDOW_PATH);
  program.Site().WriteIni(GetParam().file(program.Site().SiteConnectString()));
  std::unique_ptr<standin_test::ChildProcess> window = program.Start();
  const bool starts = *GetParam().message == '\0';
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (starts && program.TraceLinesWith("FROM ConnectLib").empty() &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));
  EXPECT_FALSE(window->WaitFor(std::chrono::milliseconds(0)).has_value())
      << "the window program ended by itself";
  EXPECT_EQ(program.TraceLinesWith("FROM ConnectLib").size(), starts ? 1u : 0u);
  window->Signal(SIGTERM);
  window->WaitFor(std::chrono::seconds(10));
}

INSTANTIATE_TEST_SUITE_P(, BadConfigWindowTest, ::testing::ValuesIn(kBadConfigs), Name);

}  // namespace
}  // namespace e2e_test
