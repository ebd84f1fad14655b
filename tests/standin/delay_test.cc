// --delay-ms: every reply leaves that much later, as over a slow link. Only
// the lower bound is the server's to keep; the rest is the machine's.
#include <gtest/gtest.h>

#include <chrono>

#include "odbc_test_connection.h"
#include "standin_server.h"

namespace standin_test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(DelayTest, EveryRoundTripTakesAtLeastTheDelay) {
  StandinServer server({.delay_ms = 200});
  const auto start = Clock::now();
  OdbcTestConnection connection(server.port());
  const auto connected = Clock::now();
  EXPECT_EQ(connection.Scalar("SELECT 1"), "1");
  const auto answered = Clock::now();
  // The PRELOGIN and the LOGIN7 are answered one after the other.
  EXPECT_GE(connected - start, 400ms);
  EXPECT_GE(answered - connected, 200ms);
}

}  // namespace
}  // namespace standin_test
