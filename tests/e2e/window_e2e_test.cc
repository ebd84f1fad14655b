// The window program installed at a site: its start-up reads the registry
// once and leaves the jail alone until the operator starts the pass. (What
// the start button runs and the start-up error box are driven in process by
// tests/app; a real process's box would wait for an operator.)
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "installed_program.h"

namespace e2e_test {
namespace {

TEST(WindowE2ETest, StartsUpWithOneLookupAndNoJailStatement) {
  InstalledProgram program(SYNCH_WINDOW_PATH);
  std::unique_ptr<standin_test::ChildProcess> window = program.Start();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (program.TraceLinesWith("FROM ConnectLib").empty() &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // Long enough for the window to be up and for any statement that start-up
  // might still send.
  std::this_thread::sleep_for(std::chrono::seconds(1));
  EXPECT_FALSE(window->WaitFor(std::chrono::milliseconds(0)).has_value())
      << "the window program ended by itself";
  EXPECT_EQ(program.TraceLinesWith("FROM ConnectLib").size(), 1u);
  for (const std::string& line : program.ProgramTrace()) {
    EXPECT_FALSE(NamesAJailTable(line)) << line;
  }
  window->Signal(SIGTERM);
  window->WaitFor(std::chrono::seconds(10));
}

}  // namespace
}  // namespace e2e_test
