#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <system_error>
#include <thread>

extern char** environ;

namespace standin_test {
namespace {

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void BecomeChild(char** argv, char** envp, const char* in, const char* out,
                              const char* err, const char* dir) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  const int in_fd = open(in, O_RDONLY);
  const int out_fd = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err_fd = open(err, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in_fd < 0 || out_fd < 0 || err_fd < 0) _exit(126);
  if (*dir != '\0' && chdir(dir) != 0) _exit(126);
  dup2(in_fd, 0);
  dup2(out_fd, 1);
  dup2(err_fd, 2);
  execve(argv[0], argv, envp);
  _exit(127);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildStreams& streams,
                           const std::vector<std::string>& extra_env,
                           const std::filesystem::path& working_dir) {
  if (access(argv.at(0).c_str(), X_OK) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot run " + argv[0]);
  }
  std::vector<std::string> args = argv;
  std::vector<std::string> env;
  // An entry of `extra_env` replaces the inherited one of its name: with
  // both, the child would read whichever its C library finds first.
  auto overridden = [&extra_env](std::string_view entry) {
    const std::string_view name = entry.substr(0, entry.find('='));
    return std::any_of(extra_env.begin(), extra_env.end(), [name](const std::string& extra) {
      return std::string_view(extra).substr(0, extra.find('=')) == name;
    });
  };
  for (char** e = environ; *e != nullptr; ++e) {
    if (!overridden(*e)) env.emplace_back(*e);
  }
  env.insert(env.end(), extra_env.begin(), extra_env.end());
  std::vector<char*> arg_ptrs = Pointers(args);
  std::vector<char*> env_ptrs = Pointers(env);
  const std::string in = streams.in.string(), out = streams.out.string(),
                    err = streams.err.string(), dir = working_dir.string();

  pid_ = fork();
  if (pid_ < 0) throw std::system_error(errno, std::generic_category(), "fork");
  if (pid_ == 0)
    BecomeChild(arg_ptrs.data(), env_ptrs.data(), in.c_str(), out.c_str(), err.c_str(),
                dir.c_str());
}

ChildProcess::~ChildProcess() {
  if (exit_code_) return;
  kill(pid_, SIGKILL);
  int status = 0;
  waitpid(pid_, &status, 0);
}

std::optional<int> ChildProcess::WaitFor(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!exit_code_) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    } else if (done < 0) {
      throw std::system_error(errno, std::generic_category(), "waitpid");
    } else if (std::chrono::steady_clock::now() >= deadline) {
      break;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  return exit_code_;
}

void ChildProcess::Signal(int signal) {
  if (!exit_code_) kill(pid_, signal);
}

}  // namespace standin_test
