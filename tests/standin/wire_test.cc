// What neither ODBC nor tsql shows: how the stand-in lays out its answer in
// messages. A bare socket speaks just enough TDS 7.4 (LOGIN7, SQL batch,
// ATTENTION) to look at the packets.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <vector>

#include "standin_server.h"

namespace standin_test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kSqlBatch = 0x01, kAttention = 0x06, kLogin7 = 0x10;
constexpr std::uint8_t kEndOfMessage = 0x01;

void PutU16(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(Bytes& out, std::uint32_t v) {
  PutU16(out, static_cast<std::uint16_t>(v));
  PutU16(out, static_cast<std::uint16_t>(v >> 16));
}
void PutUcs2(Bytes& out, std::string_view ascii) {
  for (char c : ascii) PutU16(out, static_cast<std::uint8_t>(c));
}

// A DONE token as TDS 7.4 lays it out.
Bytes Done(std::uint16_t status, std::uint16_t command, std::uint64_t count) {
  Bytes b = {0xFD};
  PutU16(b, status);
  PutU16(b, command);
  PutU32(b, static_cast<std::uint32_t>(count));
  PutU32(b, static_cast<std::uint32_t>(count >> 32));
  return b;
}

// The last token of a message, taken to be a DONE.
Bytes LastDone(const Bytes& message) {
  if (message.size() < 13) return message;
  return Bytes(message.end() - 13, message.end());
}

class WireClient {
 public:
  explicit WireClient(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    if (fd_ < 0) throw std::runtime_error("socket failed");
    timeval wait{10, 0};  // a missing answer fails the test instead of hanging it
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      ::close(fd_);
      throw std::runtime_error("connect failed");
    }
  }
  ~WireClient() { ::close(fd_); }
  WireClient(const WireClient&) = delete;
  WireClient& operator=(const WireClient&) = delete;

  // LOGIN7 as "sa" without a password; returns the login response.
  Bytes Login() {
    constexpr std::uint16_t kFixedPart = 94;
    Bytes login;
    PutU32(login, kFixedPart + 4);
    PutU32(login, 0x74000004);  // TDS 7.4
    PutU32(login, 4096);        // packet size
    login.resize(36);           // program version, process, connection, flags, time zone, LCID
    const std::uint16_t fields[][2] = {{kFixedPart, 0},     {kFixedPart, 2},      // host, user
                                       {kFixedPart + 4, 0}, {kFixedPart + 4, 0},  // password, app
                                       {kFixedPart + 4, 0}, {kFixedPart + 4, 0},  // server, ext.
                                       {kFixedPart + 4, 0}, {kFixedPart + 4, 0},  // library, lang.
                                       {kFixedPart + 4, 0}};                      // database
    for (const auto& f : fields) {
      PutU16(login, f[0]);
      PutU16(login, f[1]);
    }
    login.resize(kFixedPart);  // client id, SSPI, attached file, new password
    PutUcs2(login, "sa");
    Send(kLogin7, login);
    return ReadMessage();
  }

  // A SQL batch, with the ALL_HEADERS block TDS 7.2 and later require.
  void Batch(std::string_view sql) {
    Bytes payload;
    PutU32(payload, 22);  // all headers
    PutU32(payload, 18);  // this header
    PutU16(payload, 2);   // transaction descriptor: none, one request outstanding
    PutU32(payload, 0);
    PutU32(payload, 0);
    PutU32(payload, 1);
    PutUcs2(payload, sql);
    Send(kSqlBatch, payload);
  }

  void Attention() { Send(kAttention, {}); }

  // The tokens of one server message: its packets up to end-of-message.
  Bytes ReadMessage() {
    Bytes tokens;
    while (true) {
      std::uint8_t header[8];
      ReadExact(header, sizeof header);
      std::size_t length = (header[2] << 8) | header[3];
      if (length < 8) throw std::runtime_error("bad packet length");
      std::size_t at = tokens.size();
      tokens.resize(at + length - 8);
      ReadExact(tokens.data() + at, length - 8);
      if (header[1] & kEndOfMessage) return tokens;
    }
  }

 private:
  void Send(std::uint8_t type, const Bytes& payload) {
    const auto length = static_cast<std::uint16_t>(payload.size() + 8);
    Bytes packet(length);
    packet[0] = type;
    packet[1] = kEndOfMessage;
    packet[2] = static_cast<std::uint8_t>(length >> 8);
    packet[3] = static_cast<std::uint8_t>(length);
    packet[6] = 1;  // packet id; spid and window stay 0
    std::copy(payload.begin(), payload.end(), packet.begin() + 8);
    if (::send(fd_, packet.data(), packet.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(packet.size()))
      throw std::runtime_error("send failed");
  }

  void ReadExact(std::uint8_t* into, std::size_t size) {
    while (size > 0) {
      ssize_t got = ::recv(fd_, into, size, 0);
      if (got <= 0) throw std::runtime_error("no answer from the server");
      into += got;
      size -= static_cast<std::size_t>(got);
    }
  }

  int fd_;
};

constexpr std::uint16_t kDoneMore = 0x01, kDoneCount = 0x10, kDoneAttention = 0x20;
constexpr std::uint16_t kSelect = 0xC1;

class WireTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<StandinServer>(); }
  static void TearDownTestSuite() { server_.reset(); }
  static int port() { return server_->port(); }

  // The session still answers: "SELECT 3" returns its one row.
  static void ExpectSessionAnswers(WireClient& client) {
    client.Batch("SELECT 3");
    EXPECT_EQ(LastDone(client.ReadMessage()), Done(kDoneCount, kSelect, 1));
  }

 private:
  static inline std::unique_ptr<StandinServer> server_;
};

// The cut-short response ends in a DONE of its own; the acknowledgement (a
// lone DONE with the attention bit) follows as a message of its own.
TEST_F(WireTest, CancelledRequestEndsBeforeTheAcknowledgement) {
  WireClient client(port());
  ASSERT_EQ(LastDone(client.Login()), Done(0, 0, 0));
  client.Batch("SELECT 1\nWAITFOR DELAY '00:00:30'\nSELECT 2");
  std::this_thread::sleep_for(300ms);  // into the WAITFOR
  client.Attention();

  const Bytes response = client.ReadMessage();
  ASSERT_GE(response.size(), 13u);
  EXPECT_EQ(response.front(), 0x81) << "the first SELECT's columns, sent before the cancel";
  const Bytes last = LastDone(response);
  EXPECT_EQ(last[0], 0xFD);
  EXPECT_EQ(last[1] & (kDoneMore | kDoneAttention), 0) << "the response ends, unacknowledged";

  EXPECT_EQ(client.ReadMessage(), Done(kDoneAttention, 0, 0));
  ExpectSessionAnswers(client);
}

TEST_F(WireTest, AttentionAfterTheResponseIsAcknowledgedAlone) {
  WireClient client(port());
  ASSERT_EQ(LastDone(client.Login()), Done(0, 0, 0));
  client.Batch("SELECT 1");
  EXPECT_EQ(LastDone(client.ReadMessage()), Done(kDoneCount, kSelect, 1));
  client.Attention();
  EXPECT_EQ(client.ReadMessage(), Done(kDoneAttention, 0, 0));
  ExpectSessionAnswers(client);
}

}  // namespace
}  // namespace standin_test
