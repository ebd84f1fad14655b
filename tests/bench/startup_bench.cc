// Start-up to a shown window, measured over the whole process: the window
// program beside an empty Qt window, both on the platform named by
// QT_QPA_PLATFORM (offscreen when unset). The window program starts up from
// a site on a stand-in, whose registry lookup is part of every start-up.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "installed_site.h"
#include "standin_server.h"

extern char** environ;

namespace {

void RunProcess(const char* APath, std::string AArgument = {}) {
  char* argv[] = {const_cast<char*>(APath), AArgument.empty() ? nullptr : AArgument.data(),
                  nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, APath, nullptr, nullptr, argv, environ) != 0) {
    throw std::runtime_error(std::string("cannot start ") + APath);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error(std::string(APath) + " failed");
  }
}

void BM_WindowProgram(benchmark::State& AState) {
  standin_test::StandinServer server;
  standin_test::CreateSiteDatabase(server.port());
  for (auto _ : AState) RunProcess(WINDOW_STARTUP_PROBE, std::to_string(server.port()));
}
BENCHMARK(BM_WindowProgram)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BareQtWindow(benchmark::State& AState) {
  for (auto _ : AState) RunProcess(BARE_WINDOW_PROBE);
}
BENCHMARK(BM_BareQtWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
