// The runner's drift line and --dry-run, on the sample jail with every flag
// the pass decides made wrong (some NULL): a dry run leaves every flag as it
// was and logs what a real pass then logs, and both count exactly the flags
// the real pass changes. Each row is one way of running the pass.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "installed_program.h"
#include "odbc_test_connection.h"

namespace e2e_test {
namespace {

struct PassOptions {
  const char* name;
  std::vector<std::string> arguments;
};

void PrintTo(const PassOptions& AOptions, std::ostream* AOut) {
  *AOut << AOptions.name;
}

const PassOptions kPasses[] = {
    {"PerContainer", {}},
    {"SetBased", {"--set-based"}},
};

// Key -> AVAILABLE as "1", "0" or "-" for NULL.
using Flags = std::map<std::string, std::string>;

struct JailFlags {
  Flags locations;
  Flags containers;
  bool operator==(const JailFlags&) const = default;
};

Flags Read(standin_test::OdbcTestConnection& AJail, const std::string& ASql) {
  Flags flags;
  for (const auto& row : AJail.Query(ASql).rows) flags[*row[0]] = row[1].value_or("-");
  return flags;
}

JailFlags Read(standin_test::OdbcTestConnection& AJail) {
  return {Read(AJail, "SELECT LOCKEY, AVAILABLE FROM CFGPROPL"),
          Read(AJail, "SELECT CONTAINERID, AVAILABLE FROM CFGPROPC")};
}

int Changed(const Flags& ABefore, const Flags& AAfter) {
  int changed = 0;
  for (const auto& [key, flag] : AAfter) changed += ABefore.at(key) != flag ? 1 : 0;
  return changed;
}

// Turns every flag over, then empties those of the first location and of
// every third container.
void SpoilEveryFlag(standin_test::OdbcTestConnection& AJail) {
  for (const char* table : {"CFGPROPL", "CFGPROPC"}) {
    AJail.Exec(std::string("UPDATE ") + table +
               " SET AVAILABLE = CASE WHEN AVAILABLE = 1 THEN 0 ELSE 1 END");
  }
  AJail.Exec(
      "UPDATE CFGPROPL SET AVAILABLE = NULL WHERE LOCKEY = (SELECT MIN(LOCKEY) FROM CFGPROPL)");
  AJail.Exec("UPDATE CFGPROPC SET AVAILABLE = NULL WHERE CONTAINERID % 3 = 0");
}

std::vector<std::string> With(std::vector<std::string> AArguments, const std::string& AOption) {
  AArguments.push_back(AOption);
  return AArguments;
}

class RunnerDriftTest : public ::testing::TestWithParam<PassOptions> {};

TEST_P(RunnerDriftTest, ADryRunChangesNothingAndCountsWhatTheRealPassThenChanges) {
  InstalledProgram program(SYNCH_RUNNER_PATH);
  standin_test::OdbcTestConnection jail(program.Server().port(), {"sa", "", "JAIL"});
  ASSERT_EQ(program.Run().exitCode, 0);
  const JailFlags settled = Read(jail);
  SpoilEveryFlag(jail);
  const JailFlags spoiled = Read(jail);
  for (const auto& [key, flag] : settled.containers) ASSERT_NE(spoiled.containers.at(key), flag);
  for (const auto& [key, flag] : settled.locations) ASSERT_NE(spoiled.locations.at(key), flag);

  const std::size_t traced = program.ProgramTrace().size();
  const RunResult dry = program.Run(With(GetParam().arguments, "--dry-run"));
  ASSERT_EQ(dry.exitCode, 0) << dry.err;
  EXPECT_EQ(Read(jail), spoiled);
  const std::vector<std::string> trace = program.ProgramTrace();
  for (std::size_t i = traced; i < trace.size(); ++i) {
    EXPECT_EQ(trace[i].find("UPDATE CFGPROP"), std::string::npos) << trace[i];
  }

  const RunResult real = program.Run(GetParam().arguments);
  ASSERT_EQ(real.exitCode, 0) << real.err;
  EXPECT_EQ(Read(jail), settled);
  EXPECT_EQ(dry.out, real.out);
  const int locations = Changed(spoiled.locations, settled.locations);
  const int containers = Changed(spoiled.containers, settled.containers);
  EXPECT_EQ(real.err, CompletedPass(locations, containers));
  EXPECT_EQ(dry.err,
            "Property Locations Synchronization Completed\n"
            "AVAILABLE flags that would change: " +
                std::to_string(locations) + " locations, " + std::to_string(containers) +
                " containers\n");
}

INSTANTIATE_TEST_SUITE_P(, RunnerDriftTest, ::testing::ValuesIn(kPasses),
                         [](const auto& AInfo) { return std::string(AInfo.param.name); });

}  // namespace
}  // namespace e2e_test
