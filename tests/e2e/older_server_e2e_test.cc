// The installed runner against servers older than the stand-in's default:
// SQL Server 2005 and 2008 answer a TDS 7.4 client's login with their own
// versions, and the session goes on in that version's forms.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "installed_program.h"
#include "recording_proxy.h"
#include "wire_forms.h"

namespace e2e_test {
namespace {

struct OlderServer {
  const char* tds_version;
  std::uint32_t login_ack_version;  // as LOGINACK carries it, most significant byte first
};

void PrintTo(const OlderServer& AServer, std::ostream* AOut) {
  *AOut << AServer.tds_version;
}

const OlderServer kOlderServers[] = {
    {"7.2", 0x72090002},  // SQL Server 2005
    {"7.3", 0x730B0003},  // SQL Server 2008
};

// LOGINACK's interface (SQL), the version and the program's name.
std::vector<std::uint8_t> LoginAcknowledgement(std::uint32_t AVersion) {
  std::vector<std::uint8_t> bytes = {1,
                                     static_cast<std::uint8_t>(AVersion >> 24),
                                     static_cast<std::uint8_t>(AVersion >> 16),
                                     static_cast<std::uint8_t>(AVersion >> 8),
                                     static_cast<std::uint8_t>(AVersion),
                                     20};
  const std::vector<std::uint8_t> name = standin_test::Utf16Le("Microsoft SQL Server");
  bytes.insert(bytes.end(), name.begin(), name.end());
  return bytes;
}

class OlderServerTest : public ::testing::TestWithParam<OlderServer> {};

TEST_P(OlderServerTest, ThePassCompletesAndSettlesTheFlags) {
  InstalledProgram program(SYNCH_RUNNER_PATH, {}, {.tds_version = GetParam().tds_version});
  standin_test::RecordingProxy proxy(program.Server().port());
  program.RegisterJail(proxy.port());

  const RunResult first = program.Run();
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_TRUE(std::regex_match(first.err, kCompletedPass)) << first.err;
  EXPECT_NE(first.out.find(" Container Status: In Use\n"), std::string::npos) << first.out;
  EXPECT_TRUE(standin_test::Contains(proxy.serverBytes(),
                                     LoginAcknowledgement(GetParam().login_ack_version)))
      << "the jail's session was not acknowledged at " << GetParam().tds_version;

  const RunResult second = program.Run();
  EXPECT_EQ(second.exitCode, 0) << second.err;
  EXPECT_EQ(second.out, first.out);
  EXPECT_EQ(second.err, CompletedPass(0, 0));
}

INSTANTIATE_TEST_SUITE_P(, OlderServerTest, ::testing::ValuesIn(kOlderServers),
                         [](const auto& AInfo) {
                           return "Tds" + std::regex_replace(AInfo.param.tds_version,
                                                             std::regex("\\."), "");
                         });

}  // namespace
}  // namespace e2e_test
