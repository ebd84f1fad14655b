// Three ways to recompute the AVAILABLE flags, side by side in one run on one
// machine: the runner's per-container pass, the runner's set-based pass
// (--set-based) and tests/bench/admin_recompute_flags.sql, the script a
// database administrator would write, run through tsql. Each is a whole
// process (start-up, log and all for the runner), on generated jails of about
// 1k and 10k containers behind a stand-in that holds every reply back 0, 1 or
// 20 ms (--delay-ms: a slow link), and each run starts from the generated,
// drifted flags; with no delay, also the runner's peak memory. Not run by
// ctest; wall clock, printed as Google Benchmark's table and as a summary.
//
//   build/tests/bench/flag_recompute_bench
//   build/tests/bench/flag_recompute_bench --benchmark_filter='/1000/'   # the small jail only
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "child_process.h"
#include "installed_site.h"
#include "jail_sample.h"
#include "jail_script.h"
#include "odbc_test_connection.h"
#include "script_loader.h"
#include "standin_server.h"
#include "temp_dir.h"
#include "tsql_runner.h"

namespace {

constexpr char kRunnerName[] = "synch-property-locations-run";
const int kSizes[] = {1000, 10000};
const int kDelays[] = {0, 1, 20};

// About four round trips a container: at 20 ms one per-container pass over
// 10k containers would take a quarter of an hour.
bool TooSlowForOneRun(int AContainers, int ADelayMs) {
  return AContainers >= 10000 && ADelayMs >= 20;
}

// About `AContainers` containers, ten to a location (the generator makes at
// most 999 locations), as sync_bench generates them.
jailgen::SampleOptions JailOptions(int AContainers) {
  return {.locations = std::min(AContainers / 10, 999),
          .containers = 10,
          .bookings = AContainers * 3 / 2,
          .released = 0.3,
          .items = 2,
          .seed = 5};
}

// A traced stand-in with the jail registered at a site where the runner is
// installed, and the generated flags kept aside to be put back before each run.
class Jail {
 public:
  // The jail for these arguments; the one before it is stopped, so that one
  // stand-in runs at a time.
  static Jail& Get(int AContainers, int ADelayMs) {
    static std::unique_ptr<Jail> jail;
    if (!jail || jail->FAsked != AContainers || jail->FDelayMs != ADelayMs) {
      jail.reset();
      jail.reset(new Jail(AContainers, ADelayMs));
    }
    return *jail;
  }

  int Containers() const { return FContainers; }
  int Port() const { return FServer.port(); }
  const standin_test::InstalledSite& Site() const { return FSite; }
  const std::filesystem::path& Scratch() const { return FScratch.path(); }

  // Puts the generated flags back (untimed); returns the trace's size, from
  // which Requests() counts.
  std::uintmax_t Restore() {
    FJail->Exec(
        "UPDATE CFGPROPL SET AVAILABLE = (SELECT s.AVAILABLE FROM BENCHSAVEDL s "
        "WHERE s.LOCKEY = CFGPROPL.LOCKEY)");
    FJail->Exec(
        "UPDATE CFGPROPC SET AVAILABLE = (SELECT s.AVAILABLE FROM BENCHSAVEDC s "
        "WHERE s.CONTAINERID = CFGPROPC.CONTAINERID)");
    return FServer.traceSize();
  }
  // The requests the server received since `AMark`.
  std::size_t Requests(std::uintmax_t AMark) const { return FServer.traceLinesFrom(AMark).size(); }

 private:
  Jail(int AContainers, int ADelayMs) : FAsked(AContainers), FDelayMs(ADelayMs) {
    {
      standin_test::OdbcTestConnection setup(FServer.port());
      standin_test::LoadScript(
          setup, jailgen::MakeScript(jailgen::MakeSample(JailOptions(AContainers)), {}));
    }
    standin_test::RegisterJail(FServer.port());
    std::filesystem::copy_file(RUNNER_PATH, FSite.ProgramPath());
    FJail = std::make_unique<standin_test::OdbcTestConnection>(
        FServer.port(), standin_test::Login{"sa", "", "JAIL"});
    FJail->Exec("CREATE TABLE BENCHSAVEDL (LOCKEY bigint PRIMARY KEY, AVAILABLE bit)");
    FJail->Exec("INSERT INTO BENCHSAVEDL SELECT LOCKEY, AVAILABLE FROM CFGPROPL");
    FJail->Exec("CREATE TABLE BENCHSAVEDC (CONTAINERID bigint PRIMARY KEY, AVAILABLE bit)");
    FJail->Exec("INSERT INTO BENCHSAVEDC SELECT CONTAINERID, AVAILABLE FROM CFGPROPC");
    FContainers = std::stoi(*FJail->Scalar("SELECT COUNT(*) FROM CFGPROPC"));
  }

  int FAsked;
  int FDelayMs;
  int FContainers = 0;
  standin_test::StandinServer FServer{{.trace = true, .delay_ms = FDelayMs}};
  standin_test::InstalledSite FSite{FServer.port(), kRunnerName};
  standin_test::TempDir FScratch;
  std::unique_ptr<standin_test::OdbcTestConnection> FJail;
};

struct Outcome {
  int exitCode;
  std::string err;
};

// Runs the installed runner with `AArguments` in the scratch folder, prefixed
// by `APrefix` (e.g. /usr/bin/time), to its end.
Outcome RunRunner(const Jail& AJail, const std::vector<std::string>& APrefix,
                  const std::vector<std::string>& AArguments) {
  std::vector<std::string> argv = APrefix;
  argv.push_back(AJail.Site().ProgramPath().string());
  argv.insert(argv.end(), AArguments.begin(), AArguments.end());
  const std::filesystem::path err = AJail.Scratch() / "err";
  standin_test::ChildProcess child(argv, {.out = AJail.Scratch() / "out", .err = err},
                                   {"LC_ALL=C.UTF-8"}, AJail.Scratch());
  const std::optional<int> exitCode = child.WaitFor(std::chrono::hours(2));
  if (!exitCode) throw std::runtime_error("the runner did not end within two hours");
  return {*exitCode, standin_test::ReadFile(err)};
}

// Milliseconds of wall clock per jail, delay and way, for the summary.
std::map<std::pair<int, int>, std::map<std::string, std::string>> gSummary;

double Milliseconds(std::chrono::steady_clock::duration ADuration) {
  return std::chrono::duration<double, std::milli>(ADuration).count();
}

// The common loop: restores the flags, times `ARun` (which throws on a
// failure), reports the time and the requests per run.
template <class F>
void TimeRuns(benchmark::State& AState, Jail& AJail, const std::string& AWay, F ARun) {
  double total = 0;
  std::size_t requests = 0;
  for (auto _ : AState) {
    const std::uintmax_t mark = AJail.Restore();
    const auto start = std::chrono::steady_clock::now();
    try {
      ARun();
    } catch (const std::exception& error) {
      AState.SkipWithError(error.what());
      return;
    }
    const double ms = Milliseconds(std::chrono::steady_clock::now() - start);
    AState.SetIterationTime(ms / 1e3);
    total += ms;
    requests = AJail.Requests(mark);
  }
  const double mean = total / static_cast<double>(AState.iterations());
  AState.counters["containers"] = AJail.Containers();
  AState.counters["requests"] = static_cast<double>(requests);
  AState.counters["ms_per_container"] = mean / AJail.Containers();
  char text[32];
  std::snprintf(text, sizeof text, "%.0f ms", mean);
  gSummary[{static_cast<int>(AState.range(0)), static_cast<int>(AState.range(1))}][AWay] = text;
}

void RunnerPass(const Jail& AJail, const std::vector<std::string>& AArguments) {
  const Outcome outcome = RunRunner(AJail, {}, AArguments);
  if (outcome.exitCode != 0) {
    throw std::runtime_error("the runner ended with " + std::to_string(outcome.exitCode) + ": " +
                             outcome.err);
  }
}

void BM_PerContainerPass(benchmark::State& AState) {
  const int containers = static_cast<int>(AState.range(0));
  const int delay = static_cast<int>(AState.range(1));
  if (TooSlowForOneRun(containers, delay)) {
    gSummary[{containers, delay}]["per-container"] = "skipped";
    AState.SkipWithError(
        "skipped: some 41k round trips, a quarter of an hour at this delay; the 1k jail's "
        "row shows the per-container cost");
    return;
  }
  Jail& jail = Jail::Get(containers, delay);
  TimeRuns(AState, jail, "per-container", [&] { RunnerPass(jail, {}); });
}

void BM_SetBasedPass(benchmark::State& AState) {
  const int containers = static_cast<int>(AState.range(0));
  const int delay = static_cast<int>(AState.range(1));
  Jail& jail = Jail::Get(containers, delay);
  TimeRuns(AState, jail, "set-based", [&] { RunnerPass(jail, {"--set-based"}); });
}

void BM_AdminScript(benchmark::State& AState) {
  Jail& jail = Jail::Get(static_cast<int>(AState.range(0)), static_cast<int>(AState.range(1)));
  const std::vector<std::string> batches =
      standin_test::SplitBatches(standin_test::ReadFile(ADMIN_SCRIPT_PATH));
  TimeRuns(AState, jail, "admin script", [&] {
    const standin_test::TsqlResult result =
        standin_test::RunTsql(jail.Port(), batches, {"sa", "", "JAIL"});
    if (result.exit_code != 0 || (result.out + result.err).find("Msg ") != std::string::npos) {
      throw std::runtime_error("tsql failed: " + result.out + result.err);
    }
  });
}

// The runner's peak resident size over one pass, taken by /usr/bin/time.
void BM_RunnerPeakMemory(benchmark::State& AState) {
  Jail& jail = Jail::Get(static_cast<int>(AState.range(0)), 0);
  const std::filesystem::path report = jail.Scratch() / "time";
  long peak = 0;
  for (auto _ : AState) {
    jail.Restore();
    const Outcome outcome =
        RunRunner(jail, {"/usr/bin/time", "-f", "%M", "-o", report.string()}, {});
    if (outcome.exitCode != 0) {
      AState.SkipWithError(("the runner failed: " + outcome.err).c_str());
      return;
    }
    std::ifstream(report) >> peak;
  }
  AState.counters["containers"] = jail.Containers();
  AState.counters["peak_kB"] = static_cast<double>(peak);
  gSummary[{static_cast<int>(AState.range(0)), 0}]["runner peak"] = std::to_string(peak) + " kB";
}

void PrintSummary() {
  const char* const ways[] = {"per-container", "set-based", "admin script", "runner peak"};
  std::printf("\n%-8s %-6s", "jail", "delay");
  for (const char* way : ways) std::printf(" %16s", way);
  std::printf("\n");
  for (const auto& [key, row] : gSummary) {
    std::printf("%-8d %-6s", key.first, (std::to_string(key.second) + "ms").c_str());
    for (const char* way : ways) {
      const auto cell = row.find(way);
      std::printf(" %16s", cell == row.end() ? "-" : cell->second.c_str());
    }
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Grouped by jail and delay, so that each stand-in serves its three rows
  // together and is then stopped.
  for (const int containers : kSizes) {
    for (const int delay : kDelays) {
      const int iterations = containers >= 10000 ? 1 : 3;
      for (const auto& [name, function] : {std::pair{"PerContainerPass", &BM_PerContainerPass},
                                           std::pair{"SetBasedPass", &BM_SetBasedPass},
                                           std::pair{"AdminScript", &BM_AdminScript}}) {
        benchmark::RegisterBenchmark(name, function)
            ->Args({containers, delay})
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(iterations);
      }
      if (delay == 0) {
        benchmark::RegisterBenchmark("RunnerPeakMemory", &BM_RunnerPeakMemory)
            ->Args({containers, 0})
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
      }
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintSummary();
  return 0;
}
