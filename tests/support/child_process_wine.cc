// ChildProcess for a Windows build under wine: the children are Linux
// programs, started through wine's CreateProcessW of ELF programs, by a shell
// that stands in for the parent wine cannot be to them.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "child_process.h"
#include "host_path.h"

namespace standin_test {
namespace {

constexpr auto kPoll = std::chrono::milliseconds(5);
constexpr auto kStartTimeout = std::chrono::seconds(20);
constexpr auto kKillTimeout = std::chrono::seconds(10);

// One word for the shell, whatever it holds.
std::string Quoted(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Starts a Linux program. Wine splits `command_line` as Windows does and
// does not track the process it starts: what it leaves in
// PROCESS_INFORMATION is stale stack, whose "handles" may be another
// object's (closing one closed the test's stdout), so nothing is closed.
void StartHostProgram(std::wstring command_line) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                            "CreateProcessW");
  }
}

// The number a file the shell renamed into place holds; nullopt until it is there.
std::optional<int> ReadNumber(const std::filesystem::path& path) {
  std::ifstream in(path);
  int number = 0;
  if (in >> number) return number;
  return std::nullopt;
}

// The shell that runs `argv` for the test: it records the child's pid once
// started and its exit status (126: no working directory, 127: no program,
// 128 + N: signal N) once ended, each renamed into place, and kills the
// child when `alive` is gone.
std::string Supervisor(const std::vector<std::string>& argv, const ChildStreams& streams,
                       const std::vector<std::string>& extra_env,
                       const std::filesystem::path& working_dir, const std::string& control) {
  const std::string status = Quoted(control + "/status");
  std::ostringstream script;
  script << "exec </dev/null >/dev/null 2>" << Quoted(control + "/supervisor.err") << "\n"
         << "PATH=/usr/local/bin:/usr/bin:/bin\n"
         << "record() { echo \"$2\" >\"$1.new\" && mv \"$1.new\" \"$1\"; }\n"
         << "[ -x " << Quoted(argv.at(0)) << " ] || { record " << status << " 127; exit; }\n";
  if (!working_dir.empty()) {
    script << "cd " << Quoted(HostPath(working_dir)) << " || { record " << status
           << " 126; exit; }\n";
  }
  for (const std::string& variable : extra_env) script << "export " << Quoted(variable) << "\n";
  for (const std::string& arg : argv) script << Quoted(arg) << " ";
  // The default input names no Windows file: it is the host's own.
  script << "<"
         << (streams.in == ChildStreams{}.in ? std::string("/dev/null")
                                             : Quoted(HostPath(streams.in)))
         << " >" << Quoted(HostPath(streams.out)) << " 2>" << Quoted(HostPath(streams.err))
         << " &\n"
         << "child=$!\n"
         << "record " << Quoted(control + "/pid") << " $child\n"
         << "(while [ -e " << Quoted(control + "/alive")
         << " ] && kill -0 $child 2>/dev/null; do sleep 1; done; kill -9 $child 2>/dev/null) &\n"
         << "wait $child\n"
         << "record " << status << " $?\n";
  return script.str();
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildStreams& streams,
                           const std::vector<std::string>& extra_env,
                           const std::filesystem::path& working_dir) {
  const std::filesystem::path alive = control_.path() / "alive";
  alive_ = {CreateFileW(alive.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                        CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr),
            +[](void* handle) -> int { return CloseHandle(handle); }};
  if (alive_.get() == INVALID_HANDLE_VALUE) {
    alive_.release();
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                            "cannot create " + alive.string());
  }
  const std::filesystem::path script = control_.path() / "supervisor.sh";
  std::ofstream(script, std::ios::binary)
      << Supervisor(argv, streams, extra_env, working_dir, HostPath(control_.path()));
  StartHostProgram(L"Z:\\bin\\sh \"" + std::filesystem::path(HostPath(script)).wstring() + L"\"");

  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (true) {
    if (const std::optional<int> pid = ReadNumber(control_.path() / "pid")) {
      pid_ = *pid;
      return;
    }
    if (const std::optional<int> code = ReadNumber(control_.path() / "status")) {
      exit_code_ = code;
      if (*code == 127) {
        throw std::system_error(std::make_error_code(std::errc::no_such_file_or_directory),
                                "cannot run " + argv[0]);
      }
      return;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      throw std::runtime_error("no Linux shell started for " + argv[0] + ": " +
                               ReadFile(control_.path() / "supervisor.err"));
    }
    std::this_thread::sleep_for(kPoll);
  }
}

ChildProcess::~ChildProcess() {
  if (exit_code_) return;
  Signal(SIGKILL);
  WaitFor(kKillTimeout);
}

std::optional<int> ChildProcess::WaitFor(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!exit_code_) {
    exit_code_ = ReadNumber(control_.path() / "status");
    if (exit_code_ || std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(kPoll);
  }
  return exit_code_;
}

void ChildProcess::Signal(int signal) {
  if (exit_code_) return;
  StartHostProgram(L"Z:\\bin\\sh -c \"kill -" + std::to_wstring(signal) + L" " +
                   std::to_wstring(pid_) + L" 2>/dev/null\"");
}

}  // namespace standin_test
