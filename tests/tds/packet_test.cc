// Reassembling client messages from packets, and refusing malformed ones.
#include "packet.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <memory>
#include <string>
#include <vector>

#include "protocol_error.h"

namespace standin::tds {
namespace {

// A connected pair: the test writes raw bytes into one end, the server reads the other.
class PacketTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    server_ = std::make_unique<Socket>(fds[0]);
    client_ = std::make_unique<Socket>(fds[1]);
  }

  void Send(std::vector<std::uint8_t> bytes) { client_->WriteAll(bytes); }

  static std::vector<std::uint8_t> Packet(std::uint8_t type, std::uint8_t status,
                                          std::vector<std::uint8_t> body, int length_adjust = 0) {
    std::size_t length = body.size() + 8 + length_adjust;
    std::vector<std::uint8_t> p = {type,
                                   status,
                                   static_cast<std::uint8_t>(length >> 8),
                                   static_cast<std::uint8_t>(length),
                                   0,
                                   0,
                                   1,
                                   0};
    p.insert(p.end(), body.begin(), body.end());
    return p;
  }

  std::unique_ptr<Socket> server_, client_;
};

TEST_F(PacketTest, JoinsPacketsUpToEndOfMessage) {
  Send(Packet(1, 0, {'a', 0}));
  Send(Packet(1, 1, {'b', 0}));
  auto message = ReadMessage(*server_);
  ASSERT_TRUE(message);
  EXPECT_EQ(message->type, PacketType::kSqlBatch);
  EXPECT_EQ(message->payload, (std::vector<std::uint8_t>{'a', 0, 'b', 0}));
}

TEST_F(PacketTest, ReportsACleanCloseBetweenMessages) {
  client_->Shutdown();
  EXPECT_FALSE(ReadMessage(*server_));
}

TEST_F(PacketTest, RefusesMalformedHeaders) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<std::uint8_t> type_change = Packet(1, 0, {1, 2});
  for (std::uint8_t b : Packet(3, 1, {1, 2})) type_change.push_back(b);
  const Case cases[] = {
      {"unknown packet type", Packet(0x55, 1, {1, 2})},
      {"length shorter than the header", Packet(1, 1, {}, -1)},
      {"length above the largest packet", {1, 1, 0x80, 0x00, 0, 0, 1, 0}},
      {"type changes inside a message", type_change},
  };
  for (const Case& c : cases) {
    SetUp();
    Send(c.bytes);
    EXPECT_THROW(ReadMessage(*server_), ProtocolError) << c.what;
  }
}

TEST_F(PacketTest, ReportsAConnectionLostInsideAPacket) {
  std::vector<std::uint8_t> partial = Packet(1, 1, {1, 2, 3, 4});
  partial.resize(10);
  Send(partial);
  client_->Shutdown();
  EXPECT_THROW(ReadMessage(*server_), ConnectionLost);
}

TEST_F(PacketTest, SplitsRepliesIntoPacketsOfTheNegotiatedSize) {
  std::vector<std::uint8_t> payload(1200);
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<std::uint8_t>(i);
  SendReply(*client_, payload, 512, 51);
  std::vector<std::uint8_t> joined;
  for (int expected_id = 1;; ++expected_id) {
    std::uint8_t header[8];
    ASSERT_TRUE(server_->ReadExact(header));
    std::size_t length = (header[2] << 8) | header[3];
    EXPECT_LE(length, 512u);
    EXPECT_EQ(header[0], 4);
    EXPECT_EQ((header[4] << 8) | header[5], 51);
    EXPECT_EQ(header[6], expected_id);
    std::vector<std::uint8_t> body(length - 8);
    ASSERT_TRUE(server_->ReadExact(body));
    joined.insert(joined.end(), body.begin(), body.end());
    if (header[1] & 1) break;
  }
  EXPECT_EQ(joined, payload);
}

}  // namespace
}  // namespace standin::tds
