// The children a test starts, on both hosts: under wine they are Linux
// programs behind a supervising shell, so what the POSIX parent gets from
// the kernel (exit status, signals, streams) has to come through files.
#include "child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <ostream>
#include <system_error>

#include "host_path.h"
#include "temp_dir.h"

namespace standin_test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

struct EndCase {
  const char* name;
  const char* script;  // for /bin/sh -c
  int exit_code;
};

void PrintTo(const EndCase& c, std::ostream* os) {
  *os << c.name;
}

class ChildEndTest : public ::testing::TestWithParam<EndCase> {};

TEST_P(ChildEndTest, ReportsHowTheChildEnded) {
  const TempDir dir;
  ChildProcess child({"/bin/sh", "-c", GetParam().script},
                     {.out = dir.path() / "out", .err = dir.path() / "err"});
  EXPECT_EQ(child.WaitFor(seconds(20)), GetParam().exit_code);
  EXPECT_EQ(child.WaitFor(milliseconds(0)), GetParam().exit_code);  // stays known
}

INSTANTIATE_TEST_SUITE_P(Ends, ChildEndTest,
                         ::testing::Values(EndCase{"Success", "exit 0", 0},
                                           EndCase{"Failure", "exit 3", 3},
                                           EndCase{"Terminated", "kill -TERM $$", 128 + SIGTERM},
                                           EndCase{"Killed", "kill -KILL $$", 128 + SIGKILL}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChildProcessTest, GetsItsInputEnvironmentAndDirectoryAndKeepsItsOutputs) {
  const TempDir dir;
  std::ofstream(dir.path() / "in", std::ios::binary) << "line in\n";
  ChildProcess child(
      {"/bin/sh", "-c", "cat; echo \"$GREETING\"; pwd; echo oops >&2"},
      {.in = dir.path() / "in", .out = dir.path() / "out", .err = dir.path() / "err"},
      {"GREETING=it's here"}, dir.path());
  ASSERT_EQ(child.WaitFor(seconds(20)), 0);
  EXPECT_EQ(ReadFile(dir.path() / "out"), "line in\nit's here\n" + HostPath(dir.path()) + "\n");
  EXPECT_EQ(ReadFile(dir.path() / "err"), "oops\n");
}

TEST(ChildProcessTest, RunsUntilSignalled) {
  const TempDir dir;
  ChildProcess child({"/bin/sh", "-c", "echo started; exec sleep 60"},
                     {.out = dir.path() / "out", .err = dir.path() / "err"});
  EXPECT_GT(child.pid(), 0);
  EXPECT_EQ(child.WaitFor(milliseconds(300)), std::nullopt);
  child.Signal(SIGTERM);
  EXPECT_EQ(child.WaitFor(seconds(20)), 128 + SIGTERM);
  EXPECT_EQ(ReadFile(dir.path() / "out"), "started\n");
}

TEST(ChildProcessTest, AProgramThatIsNotThereIsRefused) {
  const TempDir dir;
  EXPECT_THROW(ChildProcess({"/nonexistent/program"},
                            {.out = dir.path() / "out", .err = dir.path() / "err"}),
               std::system_error);
}

}  // namespace
}  // namespace standin_test
