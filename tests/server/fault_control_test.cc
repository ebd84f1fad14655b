// The fault file as the server reads it: what arms it, what it ignores, and
// which request fires.
#include "fault_control.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "temp_dir.h"

namespace standin::server {
namespace {

struct FaultCase {
  const char* content;
  // One letter per request from the one that finds the file: '.' runs,
  // 'k' ends its session, 's' ends it and stops the server.
  const char* outcomes;
};

const FaultCase kCases[] = {
    {"kill 1\n", "k...."},    {"kill 3", "..k.."},    {"stop 2\r\n", ".s..."},
    {"kill 0\n", "....."},    {"kill -1\n", "....."}, {"kill\n", "....."},
    {"kill 2x\n", "....."},   {"kill  2\n", "....."}, {"KILL 1\n", "....."},
    {"restart 1\n", "....."}, {"", "....."},          {"kill 99999999999999999999\n", "....."},
};

TEST(FaultControlTest, FiresAtTheCountedRequestOnceAndIgnoresAnythingElse) {
  for (const FaultCase& c : kCases) {
    const standin_test::TempDir dir;
    const std::filesystem::path file = dir.path() / "fault";
    int stops = 0;
    FaultControl faults(file, [&stops] { ++stops; });
    std::ofstream(file, std::ios::binary) << c.content;
    std::string outcomes;
    for (int i = 0; i < 5; ++i) {
      const int stopsBefore = stops;
      const bool ends = faults.EndsSession();
      outcomes += !ends ? '.' : stops > stopsBefore ? 's' : 'k';
    }
    EXPECT_EQ(outcomes, c.outcomes) << c.content;
    EXPECT_FALSE(std::filesystem::exists(file)) << "the file was not taken: " << c.content;
  }
}

TEST(FaultControlTest, ANewFileReplacesWhatWasArmed) {
  const standin_test::TempDir dir;
  const std::filesystem::path file = dir.path() / "fault";
  FaultControl faults(file, [] {});
  std::ofstream(file) << "kill 3\n";
  EXPECT_FALSE(faults.EndsSession());
  std::ofstream(file) << "kill 2\n";
  EXPECT_FALSE(faults.EndsSession());
  EXPECT_TRUE(faults.EndsSession());
  EXPECT_FALSE(faults.EndsSession());
}

TEST(FaultControlTest, WithoutAFileNameNothingFires) {
  FaultControl faults("", [] {});
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(faults.EndsSession());
}

}  // namespace
}  // namespace standin::server
