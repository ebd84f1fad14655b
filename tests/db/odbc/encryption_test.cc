// Encrypted sessions through the program's own connection (unixODBC +
// FreeTDS) against stand-ins offering TLS with good and bad certificates,
// watched on the wire by a recording proxy: what each client setting gets
// from each server, and that a refusal names its reason.
//
// The test's authority stands in for the system's: SSL_CERT_FILE names it,
// as it does for every OpenSSL-based client.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>

#include "core/exception.h"
#include "db/odbc/command.h"
#include "db/sqlserver/connection.h"
#include "recording_proxy.h"
#include "standin_server.h"
#include "tds_packets.h"
#include "temp_dir.h"
#include "test_certificates.h"
#include "wire_forms.h"

namespace {

using standin_test::Contains;
using standin_test::Login7PasswordForm;
using standin_test::RecordingProxy;
using standin_test::StandinServer;
using standin_test::Utf16Le;
using ::testing::Each;
using ::testing::HasSubstr;

constexpr const char* kLogin = "warden";
constexpr const char* kPassword = "Cell-Block-7!";
constexpr const char* kMarker = "inventory of cell 7";

enum class Server { kNoCertificate, kTrusted, kSelfSigned, kOtherHost, kExpired, kForced };
enum class Client { kPlain, kEncrypt, kEncryptTrustingServer };
enum class Outcome { kClear, kLoginOnly, kEncrypted, kRefused };

struct EncryptionCase {
  Server server;
  Client client;
  Outcome outcome;
  const char* reason = "";  // for kRefused: what the error's last line says
};

void PrintTo(const EncryptionCase& ACase, std::ostream* AOut) {
  static const char* const servers[] = {"no-certificate", "trusted", "self-signed",
                                        "other-host",     "expired", "forced"};
  static const char* const clients[] = {"plain", "encrypt", "encrypt-trusting"};
  *AOut << servers[static_cast<int>(ACase.server)] << "/"
        << clients[static_cast<int>(ACase.client)];
}

// One stand-in per kind of server, shared by the cases.
class EncryptionTest : public ::testing::TestWithParam<EncryptionCase> {
 protected:
  static void SetUpTestSuite() {
    FDir = new standin_test::TempDir();
    FCertificates =
        new standin_test::TestCertificates(standin_test::MakeTestCertificates(FDir->path()));
    ::setenv("SSL_CERT_FILE", FCertificates->authority.c_str(), 1);
    FServers = new std::map<Server, std::unique_ptr<StandinServer>>();
  }
  static void TearDownTestSuite() {
    delete FServers;
    delete FCertificates;
    delete FDir;
    ::unsetenv("SSL_CERT_FILE");
  }

  static StandinServer& ServerOf(Server AKind) {
    auto& server = (*FServers)[AKind];
    if (!server) {
      standin_test::StandinOptions options;
      options.logins = {std::string(kLogin) + ":" + kPassword};
      const standin_test::TestCertificates& c = *FCertificates;
      const standin_test::CertificateFiles* files = nullptr;
      switch (AKind) {
        case Server::kNoCertificate:
          break;
        case Server::kTrusted:
        case Server::kForced:
          files = &c.signed_by_authority;
          break;
        case Server::kSelfSigned:
          files = &c.self_signed;
          break;
        case Server::kOtherHost:
          files = &c.other_host;
          break;
        case Server::kExpired:
          files = &c.expired;
          break;
      }
      if (files != nullptr) {
        options.tls_certificate = files->certificate;
        options.tls_key = files->key;
      }
      options.force_encryption = AKind == Server::kForced;
      server = std::make_unique<StandinServer>(options);
    }
    return *server;
  }

  static std::unique_ptr<TMSConnection> ConnectionTo(int APort, Client AClient) {
    auto connection = std::make_unique<TMSConnection>(nullptr);
    connection->SetServer("127.0.0.1");
    connection->SetPort(APort);
    connection->SetUsername(kLogin);
    connection->SetPassword(kPassword);
    connection->Options().SetEncrypt(AClient != Client::kPlain);
    connection->Options().SetTrustServerCertificate(AClient == Client::kEncryptTrustingServer);
    return connection;
  }

  static standin_test::TempDir* FDir;
  static standin_test::TestCertificates* FCertificates;
  static std::map<Server, std::unique_ptr<StandinServer>>* FServers;
};

standin_test::TempDir* EncryptionTest::FDir = nullptr;
standin_test::TestCertificates* EncryptionTest::FCertificates = nullptr;
std::map<Server, std::unique_ptr<StandinServer>>* EncryptionTest::FServers = nullptr;

TEST_P(EncryptionTest, SessionIsEncryptedAsAgreedOrRefusedWithItsReason) {
  const EncryptionCase& c = GetParam();
  RecordingProxy proxy(ServerOf(c.server).port());
  std::unique_ptr<TMSConnection> connection = ConnectionTo(proxy.port(), c.client);

  if (c.outcome == Outcome::kRefused) {
    try {
      connection->Connect();
      FAIL() << "connected";
    } catch (const Exception& e) {
      EXPECT_THAT(e.Message(), HasSubstr(c.reason));
    }
    EXPECT_FALSE(connection->Connected());
    // Refused at PRELOGIN, the client sent nothing more in clear: no LOGIN7.
    for (const RecordingProxy::Recording& recording : proxy.connections()) {
      EXPECT_THAT(standin_test::PacketTypes(recording.from_client),
                  Each(standin_test::kTdsPrelogin));
      EXPECT_FALSE(Contains(recording.from_client, Login7PasswordForm(kPassword)));
    }
    return;
  }
  connection->Connect();
  odbc::Command command(connection->Session(), connection.get());
  ASSERT_TRUE(command.Execute(std::string("SELECT N'") + kMarker + "'", {}));
  EXPECT_EQ(command.ReadResult(1).Rows.at(0).at(0).As<std::string>(), kMarker);

  const std::vector<std::uint8_t> sent = proxy.clientBytes();
  EXPECT_EQ(Contains(sent, Login7PasswordForm(kPassword)), c.outcome == Outcome::kClear)
      << "the password's login form on the wire";
  EXPECT_EQ(Contains(sent, Utf16Le(kMarker)), c.outcome != Outcome::kEncrypted)
      << "the statement's text on the wire";
  EXPECT_EQ(Contains(proxy.serverBytes(), Utf16Le(kMarker)), c.outcome != Outcome::kEncrypted)
      << "the result on the wire";
}

// FreeTDS lets the environment pick the protocol (7.0 logs in without asking
// for encryption), the address and a trace file. None of them has a say in a
// session of ours, and each is back for the rest of the process afterwards.
TEST_F(EncryptionTest, TheEnvironmentHasNoSayInTheSession) {
  standin_test::TempDir traces;
  const std::pair<std::string, std::string> variables[] = {
      {"TDSVER", "7.0"},
      {"TDSHOST", "192.0.2.1"},
      {"TDSPORT", "9"},
      {"TDSDUMP", (traces.path() / "dump").string()},
      {"TDSDUMPCONFIG", (traces.path() / "config-dump").string()}};
  for (const auto& [name, value] : variables) ::setenv(name.c_str(), value.c_str(), 1);
  for (const Client client : {Client::kPlain, Client::kEncrypt}) {
    RecordingProxy proxy(ServerOf(Server::kTrusted).port());
    ConnectionTo(proxy.port(), client)->Connect();
    EXPECT_FALSE(Contains(proxy.clientBytes(), Login7PasswordForm(kPassword)));
    EXPECT_FALSE(Contains(proxy.clientBytes(), Utf16Le(kLogin)));
  }
  EXPECT_TRUE(std::filesystem::is_empty(traces.path()));
  for (const auto& [name, value] : variables) {
    EXPECT_STREQ(std::getenv(name.c_str()), value.c_str()) << name;
    ::unsetenv(name.c_str());
  }
}

constexpr const char* kNoTls = "the server does not support encryption";

INSTANTIATE_TEST_SUITE_P(
    ServersByClients, EncryptionTest,
    ::testing::Values(
        EncryptionCase{Server::kNoCertificate, Client::kPlain, Outcome::kClear},
        EncryptionCase{Server::kNoCertificate, Client::kEncrypt, Outcome::kRefused, kNoTls},
        EncryptionCase{Server::kNoCertificate, Client::kEncryptTrustingServer, Outcome::kRefused,
                       kNoTls},
        EncryptionCase{Server::kTrusted, Client::kPlain, Outcome::kLoginOnly},
        EncryptionCase{Server::kTrusted, Client::kEncrypt, Outcome::kEncrypted},
        EncryptionCase{Server::kTrusted, Client::kEncryptTrustingServer, Outcome::kEncrypted},
        EncryptionCase{Server::kSelfSigned, Client::kPlain, Outcome::kLoginOnly},
        EncryptionCase{Server::kSelfSigned, Client::kEncrypt, Outcome::kRefused, "self-signed"},
        EncryptionCase{Server::kSelfSigned, Client::kEncryptTrustingServer, Outcome::kEncrypted},
        EncryptionCase{Server::kOtherHost, Client::kPlain, Outcome::kLoginOnly},
        EncryptionCase{Server::kOtherHost, Client::kEncrypt, Outcome::kRefused,
                       "for another host name than 127.0.0.1"},
        EncryptionCase{Server::kOtherHost, Client::kEncryptTrustingServer, Outcome::kEncrypted},
        EncryptionCase{Server::kExpired, Client::kPlain, Outcome::kLoginOnly},
        EncryptionCase{Server::kExpired, Client::kEncrypt, Outcome::kRefused, "has expired"},
        EncryptionCase{Server::kExpired, Client::kEncryptTrustingServer, Outcome::kEncrypted},
        EncryptionCase{Server::kForced, Client::kPlain, Outcome::kEncrypted},
        EncryptionCase{Server::kForced, Client::kEncrypt, Outcome::kEncrypted},
        EncryptionCase{Server::kForced, Client::kEncryptTrustingServer, Outcome::kEncrypted}));

}  // namespace
