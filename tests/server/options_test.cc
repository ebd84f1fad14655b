// The command line: what it accepts, and every way it refuses to start.
#include "options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace standin::server {
namespace {

using Args = std::vector<std::string>;

TEST(OptionsTest, ReadsEveryOption) {
  ServerOptions o = ParseOptions({"--data", "/tmp/d", "--port", "14330", "--login", "jailer:pa:ss",
                                  "--trace=/tmp/t.log", "--fault-file", "/tmp/f", "--delay-ms",
                                  "20", "--tds-version", "7.2"});
  EXPECT_EQ(o.data_dir, "/tmp/d");
  EXPECT_EQ(o.port, 14330);
  EXPECT_EQ(o.trace_file, "/tmp/t.log");
  EXPECT_EQ(o.fault_file, "/tmp/f");
  EXPECT_EQ(o.reply_delay, std::chrono::milliseconds(20));
  EXPECT_EQ(o.highest_version, tds::TdsVersion::k72);
  EXPECT_EQ(o.logins.at("jailer"), "pa:ss");
  EXPECT_EQ(o.logins.at("sa"), "");
}

TEST(OptionsTest, DefaultsToAnyPortAndTheSaLoginOnly) {
  ServerOptions o = ParseOptions({"--data=d"});
  EXPECT_EQ(o.port, 0);
  EXPECT_EQ(o.logins, (std::map<std::string, std::string>{{"sa", ""}}));
  EXPECT_TRUE(o.trace_file.empty());
  EXPECT_TRUE(o.fault_file.empty());
  EXPECT_EQ(o.reply_delay, std::chrono::milliseconds(0));
  EXPECT_EQ(o.highest_version, tds::TdsVersion::k74);
}

TEST(OptionsTest, NamesTheHighestTdsVersionOfAnOlderServer) {
  EXPECT_EQ(ParseOptions({"--data=d", "--tds-version=7.3"}).highest_version, tds::TdsVersion::k73);
  EXPECT_EQ(ParseOptions({"--data=d", "--tds-version", "7.4"}).highest_version,
            tds::TdsVersion::k74);
}

TEST(OptionsTest, ALoginForSaChangesItsPasswordWhateverItsCase) {
  ServerOptions o = ParseOptions({"--data", "d", "--login", "SA:secret", "--login", "x:"});
  EXPECT_EQ(o.logins, (std::map<std::string, std::string>{{"SA", "secret"}, {"x", ""}}));
}

TEST(OptionsTest, RefusesBadCommandLines) {
  const Args cases[] = {
      {},
      {"--port", "1433"},
      {"--data"},
      {"--data", "d", "--port", "65536"},
      {"--data", "d", "--port", "-1"},
      {"--data", "d", "--port", "14x"},
      {"--data", "d", "--login", "nopassword"},
      {"--data", "d", "--login", ":pw"},
      {"--data", "d", "--bind", "0.0.0.0"},
      {"--data", "d", "extra"},
      {"--data="},
      {"--data", "d", "--fault-file"},
      {"--data", "d", "--fault-file="},
      {"--data", "d", "--delay-ms"},
      {"--data", "d", "--delay-ms", "-5"},
      {"--data", "d", "--delay-ms=2s"},
      {"--data", "d", "--delay-ms="},
      {"--data", "d", "--tds-version"},
      {"--data", "d", "--tds-version", "7.1"},
      {"--data", "d", "--tds-version", "8.0"},
      {"--data", "d", "--tds-version=7"},
      {"--data", "d", "--tds-version=7.20"},
  };
  for (const Args& args : cases) {
    std::string line;
    for (const auto& a : args) line += a + " ";
    EXPECT_THROW(ParseOptions(args), UsageError) << line;
  }
}

}  // namespace
}  // namespace standin::server
