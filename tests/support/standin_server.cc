#include "standin_server.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "host_path.h"

namespace standin_test {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(20);
constexpr auto kStopTimeout = std::chrono::seconds(10);
constexpr std::string_view kListening = "listening on 127.0.0.1:";

// A sanitized build's server may go on answering after undefined behaviour, and reports its
// leaks only as it exits; either way the test that ran it must fail with the report.
bool HoldsSanitizerReport(const std::string& error_output) {
  return error_output.find("ERROR: AddressSanitizer") != std::string::npos ||
         error_output.find("ERROR: LeakSanitizer") != std::string::npos ||
         error_output.find("runtime error:") != std::string::npos;
}

}  // namespace

StandinServer::StandinServer(StandinOptions options)
    : options_(std::move(options)), data_dir_(dir_.path() / "data") {
  std::filesystem::create_directory(data_dir_);
  Start(0);
}

StandinServer::~StandinServer() {
  stop();
}

void StandinServer::Start(int port) {
  std::vector<std::string> argv = {STANDIN_SERVER_PATH, "--data", HostPath(data_dir_), "--port",
                                   std::to_string(port)};
  for (const std::string& login : options_.logins) {
    argv.push_back("--login");
    argv.push_back(login);
  }
  if (options_.trace) {
    argv.push_back("--trace");
    argv.push_back(HostPath(dir_.path() / "trace.log"));
  }
  if (!options_.tls_certificate.empty()) {
    argv.insert(argv.end(), {"--tls-cert", HostPath(options_.tls_certificate), "--tls-key",
                             HostPath(options_.tls_key)});
    if (options_.force_encryption) argv.push_back("--force-encryption");
  }
  if (options_.delay_ms > 0) {
    argv.insert(argv.end(), {"--delay-ms", std::to_string(options_.delay_ms)});
  }
  if (!options_.tds_version.empty()) {
    argv.insert(argv.end(), {"--tds-version", options_.tds_version});
  }
  if (options_.faults) {
    argv.push_back("--fault-file");
    argv.push_back(HostPath(dir_.path() / "fault"));
  }
  const auto out = dir_.path() / "server.out";
  // The line of an earlier run must not be taken for this one's.
  std::filesystem::remove(out);
  process_ = std::make_unique<ChildProcess>(
      argv, ChildStreams{.out = out, .err = dir_.path() / "server.err"});

  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string text = ReadFile(out);
    const std::size_t at = text.find(kListening);
    const std::size_t end = text.find('\n', at);
    if (at != std::string::npos && end != std::string::npos) {
      port_ = std::stoi(text.substr(at + kListening.size(), end - at - kListening.size()));
      return;
    }
    if (process_->WaitFor(std::chrono::milliseconds(10))) break;
  }
  const std::string why = process_->WaitFor(std::chrono::milliseconds(0))
                              ? "sqlserver-standin exited before listening"
                              : "sqlserver-standin did not report listening within 20 s";
  process_.reset();
  throw std::runtime_error(why + "; stdout: " + ReadFile(out) + "; stderr: " + errorOutput());
}

int StandinServer::stop() {
  if (!process_) return exit_code_;
  process_->Signal(SIGTERM);
  std::optional<int> code = process_->WaitFor(kStopTimeout);
  if (!code) {
    process_->Signal(SIGKILL);
    code = process_->WaitFor(kStopTimeout);
  }
  process_.reset();
  exit_code_ = code.value_or(128 + SIGKILL);
  const std::string error_output = errorOutput();
  if (HoldsSanitizerReport(error_output)) ADD_FAILURE() << "sqlserver-standin: " << error_output;
  return exit_code_;
}

void StandinServer::restart() {
  stop();
  Start(0);
}

void StandinServer::restartOnSamePort() {
  stop();
  Start(port_);
}

void StandinServer::killAtRequest(int n) {
  ArmFault("kill " + std::to_string(n));
}

void StandinServer::stopAtRequest(int n) {
  ArmFault("stop " + std::to_string(n));
}

// Renamed into place: the server must never read half a line.
void StandinServer::ArmFault(const std::string& line) {
  if (!options_.faults) throw std::logic_error("the server was started without faults");
  const std::filesystem::path pending = dir_.path() / "fault.new";
  std::ofstream(pending, std::ios::trunc) << line << "\n";
  std::filesystem::rename(pending, dir_.path() / "fault");
}

std::vector<std::string> StandinServer::traceLines() const {
  std::vector<std::string> lines;
  std::istringstream text(ReadFile(dir_.path() / "trace.log"));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

std::uintmax_t StandinServer::traceSize() const {
  std::error_code missing;
  const std::uintmax_t size = std::filesystem::file_size(dir_.path() / "trace.log", missing);
  return missing ? 0 : size;
}

std::vector<std::string> StandinServer::traceLinesFrom(std::uintmax_t offset) const {
  std::ifstream file(dir_.path() / "trace.log", std::ios::binary);
  file.seekg(static_cast<std::streamoff>(offset));
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

std::string StandinServer::errorOutput() const {
  return ReadFile(dir_.path() / "server.err");
}

}  // namespace standin_test
