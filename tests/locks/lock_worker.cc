// lock_worker: one process of the contention test. It connects to the
// stand-in through the program's own data-access layer and, until the stop
// file appears, edits the records named by --keys in turn, each post a
// read-modify-write of their COUNTER column, so that two holders of one
// record at once would lose an update. Its events go to standard output
// (worker_events.h); it exits 0 when stopped and 2 after any error that is
// not a lock refusal.
//
//   lock_worker --port N --database NAME --dataset table|query --keys K1,K2,...
//               --first I --stop FILE [--hold-after N]
//
// --first  the index of the key of the first attempt
// --hold-after  after N posts, keep the next lock taken, report "holding"
//               and wait to be killed
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "db/locking/error.h"
#include "db/locking/query.h"
#include "db/locking/table.h"
#include "db/sqlserver/connection.h"
#include "worker_events.h"

namespace {

using lock_contention::TWorkerEvent;
using lock_contention::TWorkerEventKind;

// Long enough for a second holder, if the server let one in, to post in between.
constexpr auto kHoldBeforePost = std::chrono::microseconds(500);
// Spreads the refused workers so that they do not retry in step.
constexpr auto kPauseAfterRefusal = std::chrono::milliseconds(1);

struct TWorkerOptions {
  int Port = 0;
  std::string Database;
  bool UseQuery = false;
  std::vector<std::string> Keys;
  std::size_t First = 0;
  std::filesystem::path StopFile;
  std::optional<int> HoldAfter;
};

std::vector<std::string> CommaSeparated(const std::string& AText) {
  std::vector<std::string> parts(1);
  for (char c : AText) {
    if (c == ',') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

TWorkerOptions ParseOptions(int argc, char** argv) {
  if (argc % 2 != 1) throw std::invalid_argument("every option takes a value");
  std::map<std::string, std::string> values;
  for (int i = 1; i < argc; i += 2) values[argv[i]] = argv[i + 1];
  auto take = [&](const std::string& AName) {
    const auto found = values.find(AName);
    if (found == values.end()) throw std::invalid_argument("missing " + AName);
    std::string value = found->second;
    values.erase(found);
    return value;
  };
  TWorkerOptions options;
  options.Port = std::stoi(take("--port"));
  options.Database = take("--database");
  const std::string dataset = take("--dataset");
  if (dataset != "table" && dataset != "query") throw std::invalid_argument("--dataset " + dataset);
  options.UseQuery = dataset == "query";
  options.Keys = CommaSeparated(take("--keys"));
  options.First = std::stoul(take("--first"));
  options.StopFile = take("--stop");
  if (values.count("--hold-after")) options.HoldAfter = std::stoi(take("--hold-after"));
  if (!values.empty()) throw std::invalid_argument("unknown option " + values.begin()->first);
  return options;
}

void Report(const TWorkerEvent& AEvent) {
  const std::string line = lock_contention::FormatEvent(AEvent);
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t n = write(STDOUT_FILENO, line.data() + written, line.size() - written);
    if (n < 0) throw std::runtime_error("cannot write to standard output");
    written += static_cast<std::size_t>(n);
  }
}

TWorkerEvent RefusalEvent(const std::string& AKey, const EVtDBLockError& ARefusal) {
  TWorkerEvent event{.Kind = TWorkerEventKind::Refused, .Key = AKey};
  event.Refusal = {ARefusal.Message(),     ARefusal.DatabaseName(),    ARefusal.TableName(),
                   ARefusal.UniqueKey(),   ARefusal.ComputerName(),    ARefusal.UserName(),
                   ARefusal.ProgramName(), ARefusal.TimeLocked().Value};
  return event;
}

std::unique_ptr<TDataSet> OpenCounters(TMSConnection& AConnection, bool AUseQuery) {
  if (AUseQuery) {
    auto query = std::make_unique<TVtMSQuery>(nullptr);
    query->SetConnection(&AConnection);
    query->SQL().Add("SELECT * FROM COUNTERS");
    query->Open();
    return query;
  }
  auto table = std::make_unique<TVtMSTable>(nullptr);
  table->SetConnection(&AConnection);
  table->SetTableName("COUNTERS");
  table->Open();
  return table;
}

void GoTo(TDataSet& ADataSet, const std::string& AKey) {
  ADataSet.First();
  while (!ADataSet.Eof() && ADataSet.FieldByName("UniqueKey").AsString() != AKey) ADataSet.Next();
  if (ADataSet.Eof()) throw std::runtime_error("no record " + AKey);
}

[[noreturn]] void HoldUntilKilled(const std::string& AKey, int AValue) {
  Report({.Kind = TWorkerEventKind::Holding, .Key = AKey, .Value = AValue});
  for (;;) pause();
}

void Contend(const TWorkerOptions& AOptions) {
  TMSConnection connection(nullptr);
  connection.SetServer("127.0.0.1");
  connection.SetPort(AOptions.Port);
  connection.SetDatabase(AOptions.Database);
  std::unique_ptr<TDataSet> counters = OpenCounters(connection, AOptions.UseQuery);
  Report({.Kind = TWorkerEventKind::Ready});
  int posts = 0;
  for (std::size_t attempt = AOptions.First; !std::filesystem::exists(AOptions.StopFile);
       ++attempt) {
    const std::string& key = AOptions.Keys[attempt % AOptions.Keys.size()];
    GoTo(*counters, key);
    try {
      counters->Edit();
    } catch (const EVtDBLockError& refusal) {
      Report(RefusalEvent(key, refusal));
      std::this_thread::sleep_for(kPauseAfterRefusal);
      continue;
    }
    TField& counter = counters->FieldByName("COUNTER");
    const int value = counter.AsInteger();
    if (AOptions.HoldAfter == posts) HoldUntilKilled(key, value);
    counter.SetAsInteger(value + 1);
    std::this_thread::sleep_for(kHoldBeforePost);
    counters->Post();
    ++posts;
    Report({.Kind = TWorkerEventKind::Posted, .Key = key, .Value = value + 1});
  }
}

}  // namespace

int main(int argc, char** argv) {
  TWorkerOptions options;
  try {
    options = ParseOptions(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "lock_worker: %s\n", error.what());
    return 64;
  }
  try {
    Contend(options);
  } catch (const std::exception& error) {
    Report({.Kind = TWorkerEventKind::Failed, .Text = error.what()});
    return 2;
  }
  return 0;
}
