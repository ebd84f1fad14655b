// The data-access layer against raw ODBC calls on the same stack, same
// server, same query, same run: (a) opening a 100k-row table whole through
// TMSTable, with the memory its rows take, and again over an encrypted
// session; (b) a parameterized COUNT run over and over through a prepared
// TMSQuery. Not run by ctest; wall clock, since part of every round trip is
// spent in the server process.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "db/access/param.h"
#include "db/fields/field.h"
#include "db/odbc/command.h"
#include "db/odbc/connect_settings.h"
#include "db/odbc/connection.h"
#include "db/odbc/diagnostics.h"
#include "db/odbc/environment.h"
#include "db/odbc/sql_api.h"
#include "db/odbc/statement.h"
#include "db/sqlserver/connection.h"
#include "db/sqlserver/query.h"
#include "db/sqlserver/table.h"
#include "odbc_test_connection.h"
#include "standin_server.h"
#include "temp_dir.h"
#include "test_certificates.h"

namespace {

constexpr int kRows = 100000;
constexpr int kCounts = 10000;
constexpr const char* kTable = "Big";
constexpr const char* kCountSql = "SELECT COUNT(*) FROM Big WHERE K = ?";

// One server with table Big of kRows rows, a connection through the layer
// and a raw one with the same connection string, shared by the whole run.
class BenchDatabase {
 public:
  static BenchDatabase& Get() {
    static BenchDatabase database(nullptr);
    return database;
  }
  // The same on a server that encrypts every session, with a certificate
  // from a test authority this process trusts: the layer asks for
  // encryption and verifies the server, as a site that wants it does.
  static BenchDatabase& Encrypted() {
    static const standin_test::TempDir dir;
    static const standin_test::TestCertificates certificates =
        standin_test::MakeTestCertificates(dir.path());
    static BenchDatabase database(&certificates);
    return database;
  }

  TMSConnection& Layer() { return *FLayer; }
  odbc::Connection& Raw() { return *FRaw; }

 private:
  explicit BenchDatabase(const standin_test::TestCertificates* ACertificates)
      : FServer(std::make_unique<standin_test::StandinServer>(ServerOptions(ACertificates))) {
    standin_test::OdbcTestConnection setup(FServer->port());
    setup.Exec(
        "CREATE TABLE Big (ID int NOT NULL PRIMARY KEY, K int NOT NULL, NAME varchar(30), "
        "FLAG bit, AT datetime)");
    setup.Exec("CREATE INDEX IX_Big_K ON Big (K)");
    for (int start = 0; start < kRows; start += 1000) {
      std::string insert = "INSERT INTO Big VALUES ";
      for (int id = start; id < start + 1000; ++id) {
        if (id > start) insert += ", ";
        insert += "(" + std::to_string(id) + ", " + std::to_string(id % 1000) + ", 'Name " +
                  std::to_string(id) + "', " + std::to_string(id % 2) + ", '2024-02-29 13:45')";
      }
      setup.Exec(insert);
    }
    FLayer = std::make_unique<TMSConnection>(nullptr);
    FLayer->SetServer("127.0.0.1");
    FLayer->SetPort(FServer->port());
    if (ACertificates != nullptr) {
      ::setenv("SSL_CERT_FILE", ACertificates->authority.c_str(), 1);
      FLayer->Options().SetEncrypt(true);
    }
    FLayer->Connect();

    odbc::ConnectSettings settings;
    settings.Driver = "FreeTDS";
    settings.Server = "127.0.0.1";
    settings.Port = FServer->port();
    FRaw = std::make_unique<odbc::Connection>(FEnvironment, nullptr);
    FRaw->DriverConnect(odbc::ConnectionString(settings));
  }

  static standin_test::StandinOptions ServerOptions(
      const standin_test::TestCertificates* ACertificates) {
    standin_test::StandinOptions options;
    if (ACertificates != nullptr) {
      options.tls_certificate = ACertificates->signed_by_authority.certificate;
      options.tls_key = ACertificates->signed_by_authority.key;
      options.force_encryption = true;
    }
    return options;
  }

  std::unique_ptr<standin_test::StandinServer> FServer;
  std::unique_ptr<TMSConnection> FLayer;
  odbc::Environment FEnvironment;
  std::unique_ptr<odbc::Connection> FRaw;
};

void Check(SQLRETURN ARc, SQLHSTMT AStatement) {
  odbc::Check(ARc, SQL_HANDLE_STMT, AStatement, nullptr);
}

// Resident memory of this process, in bytes.
std::int64_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  std::int64_t size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

// (a) The table opened whole through TMSTable, then closed.
void BM_OpenTable_TMSTable(benchmark::State& state) {
  TMSTable table(nullptr);
  table.SetConnection(&BenchDatabase::Get().Layer());
  table.SetTableName(kTable);
  // Memory per row: the first opening of the run, on a heap that has not
  // held rows before.
  const std::int64_t before = ResidentBytes();
  table.Open();
  state.counters["bytes_per_row"] =
      static_cast<double>(ResidentBytes() - before) / table.RecordCount();
  table.Close();
  for (auto _ : state) {
    table.Open();
    if (table.RecordCount() != kRows) state.SkipWithError("wrong row count");
    table.Close();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_OpenTable_TMSTable)->UseRealTime()->Unit(benchmark::kMillisecond);

// (a) The same opening over a session encrypted whole, to set beside the
// one above: what TLS costs both ends of the wire.
void BM_OpenTable_TMSTable_Encrypted(benchmark::State& state) {
  TMSTable table(nullptr);
  table.SetConnection(&BenchDatabase::Encrypted().Layer());
  table.SetTableName(kTable);
  for (auto _ : state) {
    table.Open();
    if (table.RecordCount() != kRows) state.SkipWithError("wrong row count");
    table.Close();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_OpenTable_TMSTable_Encrypted)->UseRealTime()->Unit(benchmark::kMillisecond);

// How the rows asked for per driver call weigh on opening (25 is the default).
void BM_OpenTable_FetchRows(benchmark::State& state) {
  TMSTable table(nullptr);
  table.SetConnection(&BenchDatabase::Get().Layer());
  table.SetTableName(kTable);
  table.SetFetchRows(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    table.Open();
    table.Close();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_OpenTable_FetchRows)->Arg(1)->Arg(100)->UseRealTime()->Unit(benchmark::kMillisecond);

// (a) The same statement through raw ODBC: every value fetched into a local
// buffer, nothing kept.
void BM_OpenTable_RawOdbc(benchmark::State& state) {
  odbc::Statement statement(BenchDatabase::Get().Raw());
  const SQLHSTMT handle = statement.get();
  const std::string sql = std::string("SELECT * FROM ") + kTable + "\r\n";
  for (auto _ : state) {
    statement.ExecDirect(sql);
    int rows = 0;
    while (SQLFetch(handle) == SQL_SUCCESS) {
      SQLINTEGER id = 0, k = 0;
      SQLWCHAR name[31];
      unsigned char flag = 0;
      SQL_TIMESTAMP_STRUCT at;
      SQLLEN length = 0;
      Check(SQLGetData(handle, 1, SQL_C_SLONG, &id, 0, &length), handle);
      Check(SQLGetData(handle, 2, SQL_C_SLONG, &k, 0, &length), handle);
      Check(SQLGetData(handle, 3, SQL_C_WCHAR, name, sizeof(name), &length), handle);
      Check(SQLGetData(handle, 4, SQL_C_BIT, &flag, 0, &length), handle);
      Check(SQLGetData(handle, 5, SQL_C_TYPE_TIMESTAMP, &at, 0, &length), handle);
      benchmark::DoNotOptimize(id + k + flag + name[0] + at.day);
      ++rows;
    }
    SQLCloseCursor(handle);
    if (rows != kRows) state.SkipWithError("wrong row count");
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_OpenTable_RawOdbc)->UseRealTime()->Unit(benchmark::kMillisecond);

// (b) A prepared TMSQuery: a new value, Open, read the count, Close.
void BM_Count_TMSQuery(benchmark::State& state) {
  TMSQuery query(nullptr);
  query.SetConnection(&BenchDatabase::Get().Layer());
  query.SQL().Add("SELECT COUNT(*) FROM Big WHERE K = :K");
  query.Params().ParamByName("K").SetAsInteger(0);
  query.Prepare();
  int key = 0;
  for (auto _ : state) {
    query.Params().ParamByName("K").SetAsInteger(key++ % 1000);
    query.Open();
    benchmark::DoNotOptimize(query.Fields(0).AsInteger());
    query.Close();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Count_TMSQuery)->UseRealTime()->Iterations(kCounts);

// (b) The layer's command alone, without the dataset around it: where the
// difference between the two above is spent.
void BM_Count_Command(benchmark::State& state) {
  TMSConnection& connection = BenchDatabase::Get().Layer();
  odbc::Command command(connection.Session(), &connection);
  std::vector<odbc::TParamValue> params = {{ftInteger, ptInput, std::int32_t{0}}};
  command.Prepare(kCountSql, params);
  int key = 0;
  for (auto _ : state) {
    params[0].Value = std::int32_t{key++ % 1000};
    command.Execute(kCountSql, params);
    benchmark::DoNotOptimize(command.ReadResult(25).Rows.at(0).at(0));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Count_Command)->UseRealTime()->Iterations(kCounts);

// (b) The same through raw ODBC: prepared and bound once, SQLExecute each time.
void BM_Count_RawOdbc(benchmark::State& state) {
  odbc::Statement statement(BenchDatabase::Get().Raw());
  const SQLHSTMT handle = statement.get();
  std::string sql = kCountSql;
  Check(SQLPrepareA(handle, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS), handle);
  SQLINTEGER key = 0;
  Check(SQLBindParameter(handle, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &key, 0,
                         nullptr),
        handle);
  int next = 0;
  for (auto _ : state) {
    key = next++ % 1000;
    Check(SQLExecute(handle), handle);
    Check(SQLFetch(handle), handle);
    SQLINTEGER count = 0;
    Check(SQLGetData(handle, 1, SQL_C_SLONG, &count, 0, nullptr), handle);
    benchmark::DoNotOptimize(count);
    while (SQLMoreResults(handle) == SQL_SUCCESS) {
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Count_RawOdbc)->UseRealTime()->Iterations(kCounts);

}  // namespace

BENCHMARK_MAIN();
