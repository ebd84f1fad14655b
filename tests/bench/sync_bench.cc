// The synchronization pass on generated jails of about 1k and 10k containers:
// (a) the pass against a raw ODBC replay of the very requests it sent (taken
// from the stand-in's trace), same server, same run; (b) the peak memory of a
// process that runs one pass; (c) time per container at both sizes. Not run
// by ctest; wall clock, since most of each round trip is the server's.
//
//   build/tests/bench/sync_bench
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/main_form_description.h"
#include "child_process.h"
#include "core/component.h"
#include "db/sqlserver/connection.h"
#include "db/sqlserver/query.h"
#include "installed_site.h"
#include "jail_sample.h"
#include "jail_script.h"
#include "odbc_statement.h"
#include "odbc_test_connection.h"
#include "script_loader.h"
#include "standin_server.h"
#include "sync/synch_pass.h"
#include "temp_dir.h"

namespace {

// `AContainers` containers, ten to a location (the generator makes at most
// 999 locations), and `ABookings` bookings.
jailgen::SampleOptions JailOptions(int AContainers, int ABookings) {
  return {.locations = std::min(AContainers / 10, 999),
          .containers = 10,
          .bookings = ABookings,
          .released = 0.3,
          .items = 2,
          .seed = 5};
}

// A view that shows nothing, so only the pass is measured.
class NullView : public ISynchView {
 public:
  void SetProgressPosition(int) override {}
  void SetProgressMax(int) override {}
  void SetProgressStep(int) override {}
  void StepProgress() override {}
  void SetPassesCaption(const std::string&) override {}
  void RepaintPasses() override {}
  void SetWhatHappenCaption(const std::string&) override {}
  void RepaintWhatHappen() override {}
  void AppendLogLine(const std::string&) override {}
  void RepaintWindow() override {}
  void ShowMessage(const std::string& AText) override { FLastMessage = AText; }
  std::string FLastMessage;
};

// Connects to the JAIL database of the stand-in on `APort`.
std::unique_ptr<TMSConnection> JailConnection(int APort) {
  auto connection = std::make_unique<TMSConnection>(nullptr);
  connection->SetServer("127.0.0.1");
  connection->SetPort(APort);
  connection->SetDatabase("JAIL");
  connection->Connect();
  return connection;
}

// One pass with a fresh window's components, as the first press of the
// start button runs it, on `AConnection` instead of the window's own, which
// stays closed: the connection and its session outlive the window. Throws
// when the pass reported a failure. The window starts up from `ASite`.
void RunPass(TMSConnection& AConnection, const platform::Disk& ASite) {
  TComponent window(nullptr);
  const TMainFormNonVisual components = RestoreMainForm(&window, ASite);
  for (TComponent* component : components.InCreationOrder()) {
    if (auto* dataSet = dynamic_cast<TCustomMSDataSet*>(component)) {
      dataSet->SetConnection(&AConnection);
    }
  }
  NullView view;
  GoSynchPropertyLocations(view, *components.tblCFGPropertyLocation,
                           *components.tblCFGPropertyContainers, *components.qryGeneric);
  if (view.FLastMessage != "Property Locations Synchronization Completed") {
    throw std::runtime_error(view.FLastMessage);
  }
}

// One traced request, ready to be sent again through plain ODBC calls.
struct ReplayStep {
  enum Kind { kDirect, kPrepared, kUnprepare, kPrimaryKeys } kind;
  std::string sql;  // "?" markers; the table name for kPrimaryKeys
  std::vector<standin_test::SqlParam> params;
};

// The text of the N'...' literal starting at `AStart` (just after N').
std::string Literal(const std::string& ALine, std::size_t AStart, std::size_t* AEnd) {
  std::string text;
  std::size_t at = AStart;
  for (;; ++at) {
    if (ALine.at(at) == '\'') {
      if (at + 1 < ALine.size() && ALine[at + 1] == '\'') {
        text += '\'';
        ++at;
        continue;
      }
      break;
    }
    if (ALine[at] == '\\' && (ALine.at(at + 1) == 'r' || ALine[at + 1] == 'n')) {
      text += ALine[at + 1] == 'r' ? '\r' : '\n';
      ++at;
      continue;
    }
    text += ALine[at];
  }
  *AEnd = at + 1;
  return std::regex_replace(text, std::regex("@P[0-9]+"), "?");
}

ReplayStep ParseRequest(const std::string& ARequest) {
  static const std::regex param("@P[0-9]+ (int|bigint|bit)=(-?[0-9]+)");
  ReplayStep step{ReplayStep::kDirect, "", {}};
  std::size_t end = 0;
  if (ARequest.starts_with("batch: ")) {
    step.sql = Literal(ARequest + "'", 7, &end);
    return step;
  }
  if (ARequest.starts_with("rpc sp_unprepare:")) return {ReplayStep::kUnprepare, "", {}};
  if (ARequest.starts_with("rpc sp_pkeys: @table_name=N'")) {
    return {ReplayStep::kPrimaryKeys, Literal(ARequest, 28, &end), {}};
  }
  if (ARequest.starts_with("rpc sp_prepexec:")) {
    step.kind = ReplayStep::kPrepared;
  } else if (!ARequest.starts_with("rpc sp_executesql:")) {
    throw std::runtime_error("no replay for request: " + ARequest);
  }
  const std::size_t stmt = ARequest.find("@stmt=N'");
  step.sql = Literal(ARequest, stmt + 8, &end);
  const std::string rest = ARequest.substr(end);
  for (std::sregex_iterator it(rest.begin(), rest.end(), param), last; it != last; ++it) {
    const std::string type = (*it)[1];
    const long long value = std::stoll((*it)[2]);
    step.params.push_back(type == "bit"      ? standin_test::SqlParam::Bit(value != 0)
                          : type == "bigint" ? standin_test::SqlParam::BigInt(value)
                                             : standin_test::SqlParam::Int(value));
  }
  return step;
}

void Replay(standin_test::OdbcTestConnection& AConnection, const std::vector<ReplayStep>& ASteps) {
  standin_test::OdbcStatement direct(AConnection.handle());
  std::optional<standin_test::OdbcStatement> prepared;
  for (const ReplayStep& step : ASteps) {
    switch (step.kind) {
      case ReplayStep::kDirect:
        direct.ExecDirect(step.sql, step.params);
        benchmark::DoNotOptimize(direct.AllResults());
        break;
      case ReplayStep::kPrepared:
        prepared.emplace(AConnection.handle());
        prepared->Prepare(step.sql);
        prepared->Execute(step.params);
        benchmark::DoNotOptimize(prepared->AllResults());
        break;
      case ReplayStep::kUnprepare:
        prepared.reset();
        break;
      case ReplayStep::kPrimaryKeys:
        direct.PrimaryKeys(step.sql);
        benchmark::DoNotOptimize(direct.AllResults());
        break;
    }
  }
}

// A traced stand-in holding one generated jail, the pass's connection, and
// the requests of one pass for the replay.
class BenchJail {
 public:
  static BenchJail& Get(int AContainers, int ABookings) {
    static std::map<std::pair<int, int>, std::unique_ptr<BenchJail>> jails;
    auto& jail = jails[{AContainers, ABookings}];
    if (!jail) jail.reset(new BenchJail(AContainers, ABookings));
    return *jail;
  }

  int Port() const { return FServer.port(); }
  int Containers() const { return FContainers; }
  TMSConnection& Connection() { return *FConnection; }
  const platform::Disk& Site() const { return FSite; }
  standin_test::OdbcTestConnection& Raw() { return *FRaw; }
  const std::vector<ReplayStep>& Steps() const { return FSteps; }

 private:
  BenchJail(int AContainers, int ABookings) {
    {
      standin_test::OdbcTestConnection setup(FServer.port());
      standin_test::LoadScript(
          setup, jailgen::MakeScript(jailgen::MakeSample(JailOptions(AContainers, ABookings)), {}));
    }
    standin_test::RegisterJail(FServer.port());
    FRaw = std::make_unique<standin_test::OdbcTestConnection>(
        FServer.port(), standin_test::Login{"sa", "", "JAIL"});
    FContainers = std::stoi(*FRaw->Scalar("SELECT COUNT(*) FROM CFGPROPC"));
    FConnection = JailConnection(FServer.port());
    TMSQuery spid(nullptr);
    spid.SetConnection(FConnection.get());
    spid.SQL().Add("SELECT @@SPID AS spid");
    spid.Open();
    const std::string prefix = "spid=" + std::to_string(spid.Fields(0).AsInteger()) + " ";
    const std::size_t before = FServer.traceLines().size();
    RunPass(*FConnection, FSite);
    const std::vector<std::string> passRequests = RequestsOf(prefix, before);
    for (const std::string& request : passRequests) FSteps.push_back(ParseRequest(request));
    // The replay must send what the pass sent, request for request.
    const std::string rawPrefix = "spid=" + std::to_string(FRaw->Spid()) + " ";
    const std::size_t replayStart = FServer.traceLines().size();
    Replay(*FRaw, FSteps);
    if (RequestsOf(rawPrefix, replayStart) != passRequests) {
      throw std::runtime_error("the replay does not send the pass's requests");
    }
  }

  // The traced requests of one session after the first `ASkip` lines, without
  // the session prefix and with prepared handles left out.
  std::vector<std::string> RequestsOf(const std::string& APrefix, std::size_t ASkip) const {
    static const std::regex handle("@handle int=[0-9]+");
    const std::vector<std::string> lines = FServer.traceLines();
    std::vector<std::string> requests;
    for (std::size_t i = ASkip; i < lines.size(); ++i) {
      if (!lines[i].starts_with(APrefix)) continue;
      requests.push_back(
          std::regex_replace(lines[i].substr(APrefix.size()), handle, "@handle int=H"));
    }
    return requests;
  }

  standin_test::StandinServer FServer{{.trace = true}};
  standin_test::InstalledSite FSite{FServer.port()};
  int FContainers = 0;
  std::unique_ptr<TMSConnection> FConnection;
  std::unique_ptr<standin_test::OdbcTestConnection> FRaw;
  std::vector<ReplayStep> FSteps;
};

double Milliseconds(std::chrono::steady_clock::duration ADuration) {
  return std::chrono::duration<double, std::milli>(ADuration).count();
}

// Processor time of this process, the client's side of every round trip.
double CpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Wall and processor time of one run of `ARun`, in milliseconds.
template <class F>
std::pair<double, double> Timed(F ARun) {
  const double startCpu = CpuMilliseconds();
  const auto start = std::chrono::steady_clock::now();
  ARun();
  return {Milliseconds(std::chrono::steady_clock::now() - start), CpuMilliseconds() - startCpu};
}

// Each iteration runs the pass and the replay back to back, in turns first,
// so that both meet the same load on the machine; the time reported is the
// pass's.
void BM_PassAgainstReplay(benchmark::State& AState) {
  BenchJail& jail =
      BenchJail::Get(static_cast<int>(AState.range(0)), static_cast<int>(AState.range(1)));
  double pass = 0, replay = 0, passCpu = 0, replayCpu = 0;
  bool passFirst = true;
  for (auto _ : AState) {
    std::pair<double, double> passTimes, replayTimes;
    const auto runPass = [&] {
      passTimes = Timed([&] { RunPass(jail.Connection(), jail.Site()); });
    };
    const auto runReplay = [&] { replayTimes = Timed([&] { Replay(jail.Raw(), jail.Steps()); }); };
    if (passFirst) {
      runPass();
      runReplay();
    } else {
      runReplay();
      runPass();
    }
    passFirst = !passFirst;
    pass += passTimes.first;
    replay += replayTimes.first;
    passCpu += passTimes.second;
    replayCpu += replayTimes.second;
    AState.SetIterationTime(passTimes.first / 1e3);
  }
  const double iterations = static_cast<double>(AState.iterations());
  AState.counters["containers"] = jail.Containers();
  AState.counters["requests"] = static_cast<double>(jail.Steps().size());
  AState.counters["pass_ms"] = pass / iterations;
  AState.counters["replay_ms"] = replay / iterations;
  AState.counters["pass_over_replay"] = pass / replay;
  AState.counters["pass_ms_per_container"] = pass / iterations / jail.Containers();
  AState.counters["pass_cpu_ms"] = passCpu / iterations;
  AState.counters["replay_cpu_ms"] = replayCpu / iterations;
}
BENCHMARK(BM_PassAgainstReplay)
    ->Args({1000, 1500})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(6);
// At 10k containers once with the bookings grown alike and once with the 1k
// jail's bookings: the server's statements grow with the bookings they
// search, which the second run holds still.
BENCHMARK(BM_PassAgainstReplay)
    ->Args({10000, 15000})
    ->Args({10000, 1500})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(2);

// kB of the "VmRSS:" or "VmHWM:" line of this process.
long StatusKb(const std::string& AKey) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with(AKey)) return std::stol(line.substr(AKey.size()));
  }
  return -1;
}

// The child's part of BM_PeakMemory: connects, runs one pass and prints the
// resident size before it and the high-water mark after it, in kB.
int PassPeakMemory(int APort) {
  std::unique_ptr<TMSConnection> connection = JailConnection(APort);
  const standin_test::InstalledSite site(APort);
  const long before = StatusKb("VmRSS:");
  RunPass(*connection, site);
  std::printf("%ld %ld\n", before, StatusKb("VmHWM:"));
  return 0;
}

void BM_PeakMemory(benchmark::State& AState) {
  BenchJail& jail =
      BenchJail::Get(static_cast<int>(AState.range(0)), static_cast<int>(AState.range(1)));
  standin_test::TempDir dir;
  long before = 0;
  long peak = 0;
  for (auto _ : AState) {
    standin_test::ChildProcess child(
        {"/proc/self/exe", "--pass-peak-memory", std::to_string(jail.Port())},
        {.out = dir.path() / "out", .err = dir.path() / "err"});
    if (child.WaitFor(std::chrono::minutes(10)) != 0) {
      AState.SkipWithError(standin_test::ReadFile(dir.path() / "err").c_str());
      return;
    }
    std::ifstream(dir.path() / "out") >> before >> peak;
  }
  AState.counters["rss_before_kB"] = before;
  AState.counters["peak_kB"] = peak;
  AState.counters["growth_kB"] = peak - before;
}
BENCHMARK(BM_PeakMemory)
    ->Args({1000, 1500})
    ->Args({10000, 15000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--pass-peak-memory") {
    return PassPeakMemory(std::atoi(argv[2]));
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
