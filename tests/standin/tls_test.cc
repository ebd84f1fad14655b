// The stand-in with a certificate, seen from outside: what it answers each
// kind of client at PRELOGIN, and that a client breaking the TLS handshake
// (garbage, or leaving in the middle) ends only its own session.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "odbc_test_connection.h"
#include "standin_server.h"
#include "temp_dir.h"
#include "test_certificates.h"

namespace {

using standin_test::OdbcTestConnection;
using standin_test::StandinServer;

constexpr std::uint8_t kPrelogin = 0x12;

// A raw TCP client speaking just enough TDS to reach the TLS handshake.
class RawClient {
 public:
  explicit RawClient(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval timeout{20, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      throw std::runtime_error("cannot connect");
    }
  }
  ~RawClient() { ::close(fd_); }

  void SendPrelogin(const std::vector<std::uint8_t>& payload) {
    const std::size_t length = payload.size() + 8;
    std::vector<std::uint8_t> packet = {kPrelogin,
                                        1,
                                        static_cast<std::uint8_t>(length >> 8),
                                        static_cast<std::uint8_t>(length),
                                        0,
                                        0,
                                        1,
                                        0};
    packet.insert(packet.end(), payload.begin(), payload.end());
    ASSERT_EQ(::send(fd_, packet.data(), packet.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(packet.size()));
  }
  // Asks for `encryption` (0 off, 1 on, 2 not supported) and returns the
  // server's answer to it.
  std::uint8_t Negotiate(std::uint8_t encryption) {
    SendPrelogin({0, 0, 11, 0, 6, 1, 0, 17, 0, 1, 0xFF, 0, 0, 0, 0, 0, 0, encryption});
    std::vector<std::uint8_t> reply = ReceiveMessage().value();
    for (std::size_t i = 0; i + 5 <= reply.size() && reply[i] != 0xFF; i += 5) {
      if (reply[i] == 1) return reply.at((reply[i + 1] << 8) | reply[i + 2]);
    }
    throw std::runtime_error("no ENCRYPTION option in the answer");
  }
  // The server's next message; nullopt once it has closed the connection.
  std::optional<std::vector<std::uint8_t>> ReceiveMessage() {
    std::array<std::uint8_t, 8> header;
    if (!ReadExact(header.data(), header.size())) return std::nullopt;
    std::vector<std::uint8_t> payload(((header[2] << 8) | header[3]) - 8);
    if (!ReadExact(payload.data(), payload.size())) return std::nullopt;
    return payload;
  }

 private:
  bool ReadExact(std::uint8_t* buffer, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
      ssize_t n = ::recv(fd_, buffer + done, size - done, 0);
      if (n == 0) return false;
      if (n < 0) throw std::runtime_error("the server neither answered nor closed within 20 s");
      done += static_cast<std::size_t>(n);
    }
    return true;
  }
  int fd_;
};

// A TLS 1.2 ClientHello's first record header and the start of its body:
// enough for the server to begin, not to finish.
const std::vector<std::uint8_t> kClientHelloStart = {0x16, 0x03, 0x01, 0x00, 0xC8, 0x01,
                                                     0x00, 0x00, 0xC4, 0x03, 0x03};

class TlsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new standin_test::TempDir();
    certificates_ =
        new standin_test::TestCertificates(standin_test::MakeTestCertificates(dir_->path()));
  }
  static void TearDownTestSuite() {
    delete certificates_;
    delete dir_;
  }
  static standin_test::StandinOptions WithCertificate(bool forced) {
    standin_test::StandinOptions options;
    options.tls_certificate = certificates_->signed_by_authority.certificate;
    options.tls_key = certificates_->signed_by_authority.key;
    options.force_encryption = forced;
    return options;
  }
  static standin_test::TempDir* dir_;
  static standin_test::TestCertificates* certificates_;
};
standin_test::TempDir* TlsTest::dir_ = nullptr;
standin_test::TestCertificates* TlsTest::certificates_ = nullptr;

struct AnswerCase {
  const char* name;
  bool certificate;
  bool forced;
  std::uint8_t client;
  std::uint8_t answer;
  bool closes;  // the server drops the client after answering
};

TEST_F(TlsTest, AnswersEachClientAsSqlServerDoes) {
  const AnswerCase cases[] = {
      {"no certificate, client off", false, false, 0, 2, false},
      {"no certificate, client on", false, false, 1, 2, true},
      {"no certificate, client cannot", false, false, 2, 2, false},
      {"certificate, client off", true, false, 0, 0, false},
      {"certificate, client on", true, false, 1, 1, false},
      {"certificate, client cannot", true, false, 2, 2, false},
      {"forced, client off", true, true, 0, 3, false},
      {"forced, client on", true, true, 1, 1, false},
      {"forced, client cannot", true, true, 2, 3, true},
  };
  for (const AnswerCase& c : cases) {
    SCOPED_TRACE(c.name);
    StandinServer server(c.certificate ? WithCertificate(c.forced)
                                       : standin_test::StandinOptions{});
    RawClient client(server.port());
    EXPECT_EQ(client.Negotiate(c.client), c.answer);
    if (c.closes) {
      EXPECT_EQ(client.ReceiveMessage(), std::nullopt);
    }
  }
}

TEST_F(TlsTest, ABrokenHandshakeEndsOnlyItsOwnSession) {
  StandinServer server(WithCertificate(false));
  OdbcTestConnection before(server.port());
  before.Exec("CREATE TABLE ##kept (n int)");

  {
    RawClient garbage(server.port());
    ASSERT_EQ(garbage.Negotiate(0), 0);
    garbage.SendPrelogin(std::vector<std::uint8_t>(300, 0x5A));
    // The server gives up on it: no answer, then the connection closes.
    std::optional<std::vector<std::uint8_t>> answer;
    while ((answer = garbage.ReceiveMessage())) {
    }
  }
  {
    RawClient leaving(server.port());
    ASSERT_EQ(leaving.Negotiate(1), 1);
    leaving.SendPrelogin(kClientHelloStart);
  }  // and gone in the middle of its hello
  {
    RawClient silent(server.port());
    ASSERT_EQ(silent.Negotiate(0), 0);
  }  // gone before its hello

  // The session from before goes on, and new clients are served.
  before.Exec("INSERT INTO ##kept VALUES (1)");
  OdbcTestConnection after(server.port());
  EXPECT_EQ(after.Scalar("SELECT COUNT(*) FROM ##kept"), "1");
  EXPECT_THAT(server.errorOutput(), ::testing::HasSubstr("TLS"));
}

}  // namespace
