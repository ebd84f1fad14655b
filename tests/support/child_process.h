// A program started for a test, with its standard streams in files.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace standin_test {

struct ChildStreams {
  std::filesystem::path in = "/dev/null";
  std::filesystem::path out;  // created or truncated
  std::filesystem::path err;  // created or truncated
};

class ChildProcess {
 public:
  // Starts argv[0] (a path) with `extra_env` ("NAME=value") added to this
  // process's environment, in `working_dir` (empty: this process's). The
  // child is killed if the test process dies. Throws std::system_error when
  // the program cannot be started.
  ChildProcess(const std::vector<std::string>& argv, const ChildStreams& streams,
               const std::vector<std::string>& extra_env = {},
               const std::filesystem::path& working_dir = {});
  // Kills the child (SIGKILL) and reaps it if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }

  // The exit code once the child has ended (128 + signal number when a
  // signal ended it); nullopt while it still runs after `timeout`.
  std::optional<int> WaitFor(std::chrono::milliseconds timeout);

  // Sends `signal` unless the child has already been reaped.
  void Signal(int signal);

 private:
  pid_t pid_ = -1;
  std::optional<int> exit_code_;
};

}  // namespace standin_test
