// A lock worker (lock_worker.cc) started by a test, with its report in a
// file of the test's folder.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "worker_events.h"

namespace lock_contention {

// What all workers of a run share.
struct TWorkerSite {
  int Port = 0;
  std::string Database;
  std::vector<std::string> Keys;
  std::filesystem::path StopFile;  // the workers end when it exists
};

// What one worker does differently.
struct TWorkerRole {
  bool UseQuery = false;                   // a TVtMSQuery over the table rather than a TVtMSTable
  std::size_t First = 0;                   // the index of the key it tries first
  std::vector<std::string> OnlyKeys = {};  // empty: the site's keys
  std::optional<int> HoldAfter = {};       // holds its lock after so many posts
};

class WorkerProcess {
 public:
  // Starts worker number `AIndex`, its report in `AFolder`.
  WorkerProcess(const std::filesystem::path& AFolder, int AIndex, const TWorkerSite& ASite,
                const TWorkerRole& ARole);

  int Index() const { return FIndex; }
  const TWorkerRole& Role() const { return FRole; }
  standin_test::ChildProcess& Process() { return *FProcess; }

  // The events of the report's complete lines so far.
  std::vector<TWorkerEvent> Events() const;
  // What the worker wrote to standard error.
  std::string ErrorOutput() const;

 private:
  int FIndex;
  TWorkerRole FRole;
  std::filesystem::path FReport;
  std::filesystem::path FErrors;
  std::unique_ptr<standin_test::ChildProcess> FProcess;
};

}  // namespace lock_contention
