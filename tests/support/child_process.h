// A program started for a test, with its standard streams in files.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <memory>

#include "temp_dir.h"

// Under wine the children are Linux programs, and Signal() hands the POSIX numbers on to them.
#ifndef SIGKILL
#define SIGKILL 9
#endif
#endif

namespace standin_test {

struct ChildStreams {
  std::filesystem::path in = "/dev/null";
  std::filesystem::path out;  // created or truncated
  std::filesystem::path err;  // created or truncated
};

class ChildProcess {
 public:
  // Starts argv[0] (a path) with `extra_env` ("NAME=value") added to this
  // process's environment, replacing the entries of the same names, in
  // `working_dir` (empty: this process's). The child is killed if the test
  // process dies. Throws std::system_error when the program cannot be started.
  //
  // A Windows build runs under wine and starts Linux programs: argv holds a
  // Linux program and its arguments (paths in them through HostPath()), while
  // `streams` and `working_dir` are this process's own paths.
  ChildProcess(const std::vector<std::string>& argv, const ChildStreams& streams,
               const std::vector<std::string>& extra_env = {},
               const std::filesystem::path& working_dir = {});
  // Kills the child (SIGKILL) and reaps it if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The child's process id (on the Linux side, under wine).
  pid_t pid() const { return pid_; }

  // The exit code once the child has ended (128 + signal number when a
  // signal ended it); nullopt while it still runs after `timeout`.
  std::optional<int> WaitFor(std::chrono::milliseconds timeout);

  // Sends `signal` unless the child has already been reaped.
  void Signal(int signal);

 private:
  pid_t pid_ = -1;
  std::optional<int> exit_code_;
#ifdef _WIN32
  // Wine neither waits for a Linux child nor hands on its exit code: a shell
  // started beside the child records its pid and exit status in files under
  // `control_`, and kills it once `alive_` is gone, which wine deletes when
  // this process ends, however it ends.
  TempDir control_;
  std::unique_ptr<void, int (*)(void*)> alive_{nullptr, nullptr};
#endif
};

}  // namespace standin_test
