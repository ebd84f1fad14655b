#include "worker_process.h"

#include "temp_dir.h"

namespace lock_contention {
namespace {

std::string CommaJoined(const std::vector<std::string>& AParts) {
  std::string text;
  for (const std::string& part : AParts) text += (text.empty() ? "" : ",") + part;
  return text;
}

}  // namespace

WorkerProcess::WorkerProcess(const std::filesystem::path& AFolder, int AIndex,
                             const TWorkerSite& ASite, const TWorkerRole& ARole)
    : FIndex(AIndex),
      FRole(ARole),
      FReport(AFolder / ("worker" + std::to_string(AIndex) + ".out")),
      FErrors(AFolder / ("worker" + std::to_string(AIndex) + ".err")) {
  std::vector<std::string> argv = {
      LOCK_WORKER_PATH,
      "--port",
      std::to_string(ASite.Port),
      "--database",
      ASite.Database,
      "--dataset",
      ARole.UseQuery ? "query" : "table",
      "--keys",
      CommaJoined(ARole.OnlyKeys.empty() ? ASite.Keys : ARole.OnlyKeys),
      "--first",
      std::to_string(ARole.First),
      "--stop",
      ASite.StopFile.string()};
  if (ARole.HoldAfter) {
    argv.push_back("--hold-after");
    argv.push_back(std::to_string(*ARole.HoldAfter));
  }
  FProcess = std::make_unique<standin_test::ChildProcess>(
      argv, standin_test::ChildStreams{.out = FReport, .err = FErrors});
}

std::vector<TWorkerEvent> WorkerProcess::Events() const {
  return ParseEvents(standin_test::ReadFile(FReport));
}

std::string WorkerProcess::ErrorOutput() const {
  return standin_test::ReadFile(FErrors);
}

}  // namespace lock_contention
