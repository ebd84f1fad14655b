// Start-up to a shown window, measured over the whole process: the window
// program beside an empty Qt window, both on the platform named by
// QT_QPA_PLATFORM (offscreen when unset).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

extern char** environ;

namespace {

void RunProcess(const char* APath) {
  char* argv[] = {const_cast<char*>(APath), nullptr};
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
  for (auto _ : AState) RunProcess(WINDOW_STARTUP_PROBE);
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
