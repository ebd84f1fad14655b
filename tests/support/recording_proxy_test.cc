// The recording proxy between a FreeTDS client and the stand-in: the session
// works through it, and what crosses it unencrypted can be found in its
// recordings in the forms the wire helpers give.
#include "recording_proxy.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>
#include <string>
#include <system_error>

#include "odbc_error.h"
#include "odbc_test_connection.h"
#include "standin_server.h"
#include "unique_fd.h"
#include "wire_forms.h"

namespace standin_test {
namespace {

constexpr char kUser[] = "wire_watcher";
constexpr char kPassword[] = "Plain-As-Day-4711";

class RecordingProxyTest : public ::testing::Test {
 protected:
  Login login() const { return {.user = kUser, .password = kPassword, .database = ""}; }

  StandinServer server_{{.logins = {std::string(kUser) + ":" + kPassword}}};
  RecordingProxy proxy_{server_.port()};
};

TEST_F(RecordingProxyTest, PlainSessionIsSeenInClearEachWay) {
  const std::string sql = "SELECT 4711 AS proxied_column";
  {
    OdbcTestConnection connection(proxy_.port(), login());
    EXPECT_EQ(connection.Scalar(sql), "4711");
  }
  const std::vector<std::uint8_t> from_client = proxy_.clientBytes();
  const std::vector<std::uint8_t> from_server = proxy_.serverBytes();
  ASSERT_FALSE(from_client.empty());
  EXPECT_EQ(from_client.front(), 0x12) << "a session opens with a PRELOGIN packet";
  EXPECT_TRUE(Contains(from_client, Login7PasswordForm(kPassword)));
  EXPECT_TRUE(Contains(from_client, Utf16Le(kUser)));
  EXPECT_TRUE(Contains(from_client, Utf16Le(sql)));
  // The result's column name comes back in the server's own bytes.
  EXPECT_TRUE(Contains(from_server, Utf16Le("proxied_column")));
  EXPECT_FALSE(Contains(from_server, Login7PasswordForm(kPassword)));
  EXPECT_EQ(proxy_.connections().size(), 1u);
}

TEST_F(RecordingProxyTest, EachConnectionIsRecordedApart) {
  const std::string statements[] = {"SELECT 'first session'", "SELECT 'second session'"};
  for (const std::string& sql : statements) {
    OdbcTestConnection connection(proxy_.port(), login());
    connection.Scalar(sql);
  }
  const std::vector<RecordingProxy::Recording> recordings = proxy_.connections();
  ASSERT_EQ(recordings.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(statements[i]);
    EXPECT_TRUE(Contains(recordings[i].from_client, Utf16Le(statements[i])));
    EXPECT_FALSE(Contains(recordings[i].from_client, Utf16Le(statements[1 - i])));
    EXPECT_TRUE(Contains(proxy_.clientBytes(), Utf16Le(statements[i])));
  }
}

TEST(RecordingProxyStopTest, StoppingTheProxyEndsItsOpenConnections) {
  StandinServer server;
  auto proxy = std::make_unique<RecordingProxy>(server.port());
  OdbcTestConnection connection(proxy->port());
  EXPECT_EQ(connection.Scalar("SELECT 1"), "1");
  proxy.reset();
  EXPECT_THROW(connection.Scalar("SELECT 2"), OdbcError);
  // The server itself stays reachable.
  EXPECT_EQ(OdbcTestConnection(server.port()).Scalar("SELECT 3"), "3");
}

// A port bound on 127.0.0.1 but not listening: connecting to it is refused,
// and nothing else can take it while the test holds it.
class RefusingPort {
 public:
  RefusingPort() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (!fd_ || ::bind(fd_.get(), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(fd_.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      throw std::system_error(errno, std::generic_category(), "binding a port");
    }
    port_ = ntohs(address.sin_port);
  }
  int port() const { return port_; }

 private:
  UniqueFd fd_;
  int port_ = 0;
};

TEST(RecordingProxyStopTest, AServerThatIsNotThereRefusesTheClient) {
  const RefusingPort nobody;
  RecordingProxy proxy(nobody.port());
  EXPECT_THROW(OdbcTestConnection(proxy.port()), OdbcError);
  EXPECT_TRUE(proxy.connections().empty());
}

}  // namespace
}  // namespace standin_test
