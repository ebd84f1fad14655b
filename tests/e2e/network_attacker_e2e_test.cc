// The installed runner against an attacker on the network path between it
// and the jail's server, with the jail's connection asking for encryption:
// an endpoint of the test's own hangs up, offers an older protocol, floods
// or starves the client, and a hostile environment tries to turn encryption
// off, to redirect the session or to have the driver dump it into a file.
// Whatever the attacker does, no form of the password reaches it, every
// connection opens with a PRELOGIN that asks for encryption, and the runner
// ends with its failure message instead of growing or waiting without end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "hostile_server.h"
#include "installed_program.h"
#include "recording_proxy.h"
#include "tds_packets.h"
#include "temp_dir.h"
#include "test_certificates.h"
#include "wire_forms.h"

namespace e2e_test {
namespace {

using standin_test::Contains;
using standin_test::HostileConnection;
using standin_test::HostileServer;
using ::testing::Each;
using ::testing::HasSubstr;

const std::string kEncrypted = ";Use Encryption for Data=True";

// What a pass that cannot open the jail's session ends with.
constexpr char kAbortedPass[] =
    " On: TfrmSynchPropertyLocationsMain.GoSynchPropertyLocations\nProcess Aborted\n";

// Every form in which the site's password could cross the wire: as typed,
// in UTF-16 and in a LOGIN7 record's scrambled UTF-16.
void ExpectNoPasswordIn(const std::vector<std::uint8_t>& ABytes, const std::string& AWhere) {
  const std::string& password = kSiteLogin.password;
  EXPECT_FALSE(Contains(ABytes, std::vector<std::uint8_t>(password.begin(), password.end())))
      << "the password in clear " << AWhere;
  EXPECT_FALSE(Contains(ABytes, standin_test::Utf16Le(password)))
      << "the password in UTF-16 " << AWhere;
  EXPECT_FALSE(Contains(ABytes, standin_test::Login7PasswordForm(password)))
      << "the password's LOGIN7 form " << AWhere;
}

// A client that asks for encryption opens every connection with a PRELOGIN
// and sends nothing else in clear: no LOGIN7, no older protocol's login.
void ExpectOnlyPrelogins(const std::vector<std::uint8_t>& AFromClient, const std::string& AWhere) {
  const std::vector<std::uint8_t> types = standin_test::PacketTypes(AFromClient);
  ASSERT_FALSE(types.empty()) << AWhere << " opened with no TDS packet";
  EXPECT_THAT(types, Each(standin_test::kTdsPrelogin))
      << AWhere
      << " carried packets other than PRELOGIN in clear (0x02 is an older "
         "protocol's login, 0x10 LOGIN7)";
}

void ExpectNothingLeaked(const HostileServer& AAttacker) {
  const std::vector<HostileServer::Recording> connections = AAttacker.connections();
  ASSERT_FALSE(connections.empty());
  for (std::size_t i = 0; i < connections.size(); ++i) {
    const std::string where = "on the attacker's connection " + std::to_string(i + 1);
    ExpectOnlyPrelogins(connections[i].from_client, where);
    ExpectNoPasswordIn(connections[i].from_client, where);
  }
}

// Reads the client's first message, whatever its packets; false if the
// client left first.
bool TakeTheFirstMessage(HostileConnection& AConnection) {
  while (const auto packet = AConnection.ReadPacket()) {
    if ((*packet)[1] & 1) return true;
  }
  return false;
}

// FreeTDS, left to guess the protocol, takes a hang-up after its PRELOGIN
// for a server of an older protocol and logs in again with that protocol's
// login, whose password it encrypts with whatever key the server sends.
void HangUpAfterTheFirstMessage(HostileConnection& AConnection) {
  TakeTheFirstMessage(AConnection);
}

TEST(NetworkAttackerTest, AHangUpAfterThePreloginBringsNoOlderProtocolsLogin) {
  HostileServer attacker(HangUpAfterTheFirstMessage);
  InstalledProgram program(SYNCH_RUNNER_PATH);
  program.RegisterJail(attacker.port(), kEncrypted);

  const RunResult result = program.Run();
  EXPECT_EQ(result.exitCode, 2) << result.err;
  EXPECT_THAT(result.err, HasSubstr("Adaptive Server connection failed"));
  EXPECT_THAT(result.err, HasSubstr(kAbortedPass));
  ExpectNothingLeaked(attacker);
}

// An environment that the driver would obey, with "{scratch}" for the
// runner's working folder and "{attacker}" for the port of a server that
// hangs up on every connection.
struct HostileEnvironment {
  const char* name;
  std::vector<std::string> entries;
  // Files that the entries would have the driver write.
  std::vector<std::string> files;
};

const HostileEnvironment kHostileEnvironments[] = {
    // TDS 7.0 has no PRELOGIN, so no encryption: the login would go in clear,
    // and the driver would write each packet, decrypted, into a file.
    {"OldProtocolAndDump",
     {"TDSVER=7.0", "TDSDUMP={scratch}/freetds.dump",
      "TDSDUMPCONFIG={scratch}/freetds-config.dump"},
     {"{scratch}/freetds.dump", "{scratch}/freetds-config.dump"}},
    {"Dump", {"TDSDUMP={scratch}/freetds.dump"}, {"{scratch}/freetds.dump"}},
    // The driver would take the session to another host and port.
    {"Redirection", {"TDSHOST=127.0.0.1", "TDSPORT={attacker}"}, {}},
};

void PrintTo(const HostileEnvironment& AEnvironment, std::ostream* AOut) {
  *AOut << AEnvironment.name;
}

std::string Filled(std::string AText, const InstalledProgram& AProgram, int AAttackerPort) {
  AText = std::regex_replace(AText, std::regex("\\{scratch\\}"), AProgram.Scratch().string());
  return std::regex_replace(AText, std::regex("\\{attacker\\}"), std::to_string(AAttackerPort));
}

class HostileEnvironmentTest : public ::testing::TestWithParam<HostileEnvironment> {};

// Both of the runner's sessions, the site's and the jail's, ask for
// encryption and go through a recording proxy to a server whose certificate
// the runner trusts.
TEST_P(HostileEnvironmentTest, LeavesTheSessionsEncryptedAndNothingDumped) {
  standin_test::TempDir certificates_dir;
  const standin_test::TestCertificates certificates =
      standin_test::MakeTestCertificates(certificates_dir.path());
  InstalledProgram program(SYNCH_RUNNER_PATH, {},
                           {.tls_certificate = certificates.signed_by_authority.certificate,
                            .tls_key = certificates.signed_by_authority.key});
  standin_test::RecordingProxy proxy(program.Server().port());
  HostileServer attacker(HangUpAfterTheFirstMessage);
  program.Site().WriteIni(
      "[DataProvider]\r\nConnStr=Data Source=127.0.0.1;Port=" + std::to_string(proxy.port()) +
      ";Initial Catalog=VANTOR;" + standin_test::LoginEntries(kSiteLogin) + kEncrypted + "\r\n");
  program.RegisterJail(proxy.port(), kEncrypted);
  std::vector<std::string> environment = {"SSL_CERT_FILE=" + certificates.authority.string()};
  for (const std::string& entry : GetParam().entries) {
    environment.push_back(Filled(entry, program, attacker.port()));
  }
  program.SetEnvironment(environment);

  const RunResult result = program.Run();
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(std::regex_match(result.err, kCompletedPass)) << result.err;
  for (const std::string& file : GetParam().files) {
    EXPECT_FALSE(std::filesystem::exists(Filled(file, program, attacker.port())))
        << Filled(file, program, attacker.port());
  }
  EXPECT_THAT(attacker.connections(), ::testing::IsEmpty())
      << "a session went to the attacker's port";

  const std::vector<standin_test::RecordingProxy::Recording> connections = proxy.connections();
  ASSERT_FALSE(connections.empty());
  for (std::size_t i = 0; i < connections.size(); ++i) {
    const std::string where = "on the proxy's connection " + std::to_string(i + 1);
    ExpectOnlyPrelogins(connections[i].from_client, where);
    ExpectNoPasswordIn(connections[i].from_client, where);
    EXPECT_FALSE(Contains(connections[i].from_client, standin_test::Utf16Le(kSiteLogin.user)))
        << "the login name in clear " << where;
    EXPECT_FALSE(Contains(connections[i].from_client, standin_test::Utf16Le("CFGPROPL")))
        << "a statement in clear " << where;
  }
}

INSTANTIATE_TEST_SUITE_P(, HostileEnvironmentTest, ::testing::ValuesIn(kHostileEnvironments),
                         [](const auto& AInfo) { return std::string(AInfo.param.name); });

// How much an endpoint may push at a client before the test calls it a
// flood the client failed to stop: far above a PRELOGIN answer and all that
// the sockets' buffers between them hold.
constexpr std::uint64_t kFloodBudget = 256u << 20;
constexpr std::uint64_t kMostAClientMayTake = 16u << 20;

// Long enough to outlast any client that has not given up.
constexpr auto kForever = std::chrono::minutes(5);

// An endpoint that answers after the client's first message, in its own way.
struct ProbeEndpoint {
  const char* name;
  // Runs after that message, on the same connection.
  void (*answer)(HostileConnection&);
  // Entries added to the jail's connect string.
  const char* entries;
  // How the driver's failure reads.
  const char* failure;
};

bool RefuseEncryption(HostileConnection& AConnection, bool ALast) {
  return AConnection.Send(
      standin_test::TdsPacket(standin_test::kTdsReply, ALast, standin_test::PreloginAnswer(2)));
}

const ProbeEndpoint kProbeEndpoints[] = {
    // "Encryption not supported" in a packet that says more follow, then more
    // forever: the driver fails on the first packet; the probe asking why
    // would read the message to its end.
    {"EndlessMessage",
     [](HostileConnection& AConnection) {
       if (!RefuseEncryption(AConnection, false)) return;
       const std::vector<std::uint8_t> more = standin_test::TdsPacket(
           standin_test::kTdsReply, false, std::vector<std::uint8_t>(32768 - 8));
       for (std::uint64_t sent = 0; sent < kFloodBudget; sent += more.size()) {
         if (!AConnection.Send(more)) return;
       }
       AConnection.Hold(kForever);
     },
     "", "Adaptive Server connection failed"},
    // Accepts and never answers; the driver gives up at its login timeout.
    {"Silent", [](HostileConnection& AConnection) { AConnection.Hold(kForever); },
     ";Connect Timeout=2", "dbJail: Timeout expired"},
    // Refuses the driver's encryption at once, then answers the probe with a
    // packet's header and one byte of it each half second: never quiet long
    // enough for a wait on each read to end.
    {"Trickle",
     [](HostileConnection& AConnection) {
       if (AConnection.index() == 0) {
         if (RefuseEncryption(AConnection, true)) AConnection.Hold(kForever);
         return;
       }
       const std::vector<std::uint8_t> packet =
           standin_test::TdsPacket(standin_test::kTdsReply, true, std::vector<std::uint8_t>(4096));
       for (std::uint8_t byte : packet) {
         if (!AConnection.Send({&byte, 1}) || !AConnection.Hold(std::chrono::milliseconds(500))) {
           return;
         }
       }
       AConnection.Hold(kForever);
     },
     "", "Adaptive Server connection failed"},
};

void PrintTo(const ProbeEndpoint& AEndpoint, std::ostream* AOut) {
  *AOut << AEndpoint.name;
}

class EncryptionProbeTest : public ::testing::TestWithParam<ProbeEndpoint> {};

// After the driver fails, the runner asks the endpoint itself why an
// encrypted session cannot be had; that question must end, and cheaply. The
// runner must end within Run's minute, which only shows that it was not stuck.
TEST_P(EncryptionProbeTest, EndsWithTheFailureHavingTakenLittle) {
  HostileServer attacker([answer = GetParam().answer](HostileConnection& AConnection) {
    if (TakeTheFirstMessage(AConnection)) answer(AConnection);
  });
  InstalledProgram program(SYNCH_RUNNER_PATH);
  program.RegisterJail(attacker.port(), kEncrypted + GetParam().entries);

  // What the attacker took is checked even when the runner had to be stopped.
  try {
    const RunResult result = program.Run();
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_THAT(result.err, HasSubstr(GetParam().failure));
    EXPECT_THAT(result.err, HasSubstr(kAbortedPass));
  } catch (const std::runtime_error& error) {
    ADD_FAILURE() << error.what();
  }
  ExpectNothingLeaked(attacker);
  for (const HostileServer::Recording& connection : attacker.connections()) {
    EXPECT_LT(connection.bytes_sent, kMostAClientMayTake)
        << "the runner took " << connection.bytes_sent << " bytes of a message";
  }
}

INSTANTIATE_TEST_SUITE_P(, EncryptionProbeTest, ::testing::ValuesIn(kProbeEndpoints),
                         [](const auto& AInfo) { return std::string(AInfo.param.name); });

}  // namespace
}  // namespace e2e_test
