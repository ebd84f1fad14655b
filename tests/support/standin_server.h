// A sqlserver-standin process for one test binary or test, with its own data
// directory, found by the port it reports.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "temp_dir.h"

namespace standin_test {

struct StandinOptions {
  std::vector<std::string> logins = {};  // "NAME:PASSWORD", besides sa with an empty password
  bool trace = false;                    // keep a trace file, read by traceLines()
  bool faults = false;                   // take killAtRequest() and stopAtRequest()
  // With both: the server offers TLS with this certificate and key (PEM).
  std::filesystem::path tls_certificate = {};
  std::filesystem::path tls_key = {};
  bool force_encryption = false;  // every session encrypted; needs the two above
  int delay_ms = 0;               // every reply held back this long, as over a slow link
  std::string tds_version = {};   // "7.2", "7.3": the highest it speaks, as an older server
};

class StandinServer {
 public:
  // Starts the server on a free port and waits (at most 20 s) until it
  // listens. Throws std::runtime_error with the server's output if it does not.
  explicit StandinServer(StandinOptions options = {});
  // Stops the server and removes its data directory.
  ~StandinServer();
  StandinServer(const StandinServer&) = delete;
  StandinServer& operator=(const StandinServer&) = delete;

  // The port of the running server; it changes with restart().
  int port() const { return port_; }
  const std::filesystem::path& dataDir() const { return data_dir_; }

  // The trace file's lines so far; empty before the first request.
  std::vector<std::string> traceLines() const;
  // The trace file's size so far, in bytes: a mark from which
  // traceLinesFrom() reads only the lines written since, however long the
  // trace has grown.
  std::uintmax_t traceSize() const;
  std::vector<std::string> traceLinesFrom(std::uintmax_t offset) const;

  // What the server wrote to stderr so far.
  std::string errorOutput() const;

  // Stops the server (SIGTERM; SIGKILL after 10 s) and starts it again on the
  // same data directory.
  void restart();

  // Starts the server again on the port it had (stopping it first if it
  // runs), as a real server comes back at its address.
  void restartOnSamePort();

  // With StandinOptions::faults: the `n`-th request the server receives from
  // now on (on any session) ends its session unrun, as a DBA's KILL does; the
  // client sees its connection drop. Replaces what was armed before.
  void killAtRequest(int n);
  // Likewise, but the server stops there as on SIGTERM; stop() then reaps it.
  void stopAtRequest(int n);

  // Stops the server as restart() does; a stopped server stays stopped.
  // Returns its exit code: 0 for a clean stop, 128 + 9 if it had to be killed.
  // A sanitizer report in the server's error output fails the running test.
  int stop();

 private:
  void Start(int port);
  void ArmFault(const std::string& line);

  StandinOptions options_;
  TempDir dir_;
  std::filesystem::path data_dir_;
  std::unique_ptr<ChildProcess> process_;
  int port_ = 0;
  int exit_code_ = 0;
};

}  // namespace standin_test
