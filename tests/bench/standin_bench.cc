// Round trips through unixODBC + FreeTDS to a private stand-in: what one
// request of the program costs end to end. Not run by ctest. Timed by the
// wall clock, since most of a round trip is spent in the server process.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "jail_sample.h"
#include "jail_script.h"
#include "odbc_test_connection.h"
#include "script_loader.h"
#include "standin_server.h"

namespace standin_test {
namespace {

constexpr int kRows = 100000;
constexpr int kDistinctKeys = 1000;

// One server with table T (ID primary key, K indexed, V) of kRows rows,
// shared by every benchmark of the run.
class BenchDatabase {
 public:
  static BenchDatabase& Get() {
    static BenchDatabase database;
    return database;
  }
  OdbcTestConnection& connection() { return *connection_; }

 private:
  BenchDatabase() : server_(std::make_unique<StandinServer>()) {
    OdbcTestConnection setup(server_->port());
    setup.Exec("CREATE DATABASE Bench");
    setup.Exec("USE Bench");
    setup.Exec("CREATE TABLE T (ID int NOT NULL PRIMARY KEY, K int NOT NULL, V int)");
    setup.Exec("CREATE INDEX IX_T_K ON T (K)");
    for (int start = 0; start < kRows; start += 1000) {
      std::string insert = "INSERT INTO T (ID, K, V) VALUES ";
      for (int id = start; id < start + 1000; ++id) {
        if (id > start) insert += ", ";
        insert += "(" + std::to_string(id) + ", " + std::to_string(id % kDistinctKeys) + ", 0)";
      }
      setup.Exec(insert);
    }
    connection_ = std::make_unique<OdbcTestConnection>(server_->port(), Login{"sa", "", "Bench"});
  }

  std::unique_ptr<StandinServer> server_;
  std::unique_ptr<OdbcTestConnection> connection_;
};

void BM_SelectOne(benchmark::State& state) {
  OdbcStatement statement = BenchDatabase::Get().connection().Statement();
  for (auto _ : state) {
    statement.ExecDirect("SELECT 1");
    statement.Fetch();
    benchmark::DoNotOptimize(statement.Int(1));
    statement.MoreResults();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SelectOne)->UseRealTime();

// SQLExecDirect with a bound parameter: one sp_executesql per round trip.
void BM_CountByKey(benchmark::State& state) {
  OdbcStatement statement = BenchDatabase::Get().connection().Statement();
  int key = 0;
  for (auto _ : state) {
    statement.ExecDirect("SELECT COUNT(*) FROM T WHERE K = ?",
                         {SqlParam::Int(key++ % kDistinctKeys)});
    statement.Fetch();
    benchmark::DoNotOptimize(statement.Int(1));
    statement.MoreResults();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CountByKey)->UseRealTime();

// The same query prepared once: sp_execute per round trip.
void BM_CountByKeyPrepared(benchmark::State& state) {
  OdbcStatement statement = BenchDatabase::Get().connection().Statement();
  statement.Prepare("SELECT COUNT(*) FROM T WHERE K = ?");
  int key = 0;
  for (auto _ : state) {
    statement.Execute({SqlParam::Int(key++ % kDistinctKeys)});
    statement.Fetch();
    benchmark::DoNotOptimize(statement.Int(1));
    statement.MoreResults();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CountByKeyPrepared)->UseRealTime();

void BM_UpdateByKey(benchmark::State& state) {
  OdbcStatement statement = BenchDatabase::Get().connection().Statement();
  int id = 0;
  for (auto _ : state) {
    statement.ExecDirect("UPDATE T SET V = ? WHERE ID = ?",
                         {SqlParam::Int(id), SqlParam::Int(id % kRows)});
    ++id;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_UpdateByKey)->UseRealTime();

// Loading a generated jail of 1000 bookings batch by batch; items are rows.
void BM_LoadJail(benchmark::State& state) {
  const jailgen::Sample sample = jailgen::MakeSample({.bookings = 1000});
  const std::size_t rows = sample.locations.size() + sample.containers.size() +
                           sample.bookings.size() + sample.properties.size() + sample.items.size();
  OdbcTestConnection& connection = BenchDatabase::Get().connection();
  static int run = 0;  // the library calls this function more than once
  for (auto _ : state) {
    const std::string suffix = std::to_string(run++);
    LoadScript(connection, jailgen::MakeScript(
                               sample, {.site_db = "SITE" + suffix, .jail_db = "JAIL" + suffix}));
    state.PauseTiming();
    connection.Exec("USE Bench");
    connection.Exec("DROP DATABASE SITE" + suffix);
    connection.Exec("DROP DATABASE JAIL" + suffix);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * rows));
}
BENCHMARK(BM_LoadJail)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace standin_test

BENCHMARK_MAIN();
