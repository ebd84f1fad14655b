#include "installed_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "jail_sample.h"
#include "jail_script.h"
#include "script_loader.h"

namespace e2e_test {
namespace {

// Shorter ones would turn up in ordinary text by chance.
constexpr std::size_t kShortestPasswordLookedFor = 6;

std::string Lower(std::string AText) {
  for (char& c : AText) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return AText;
}

// The file named after "--log" in `AArguments`, if any.
std::vector<std::filesystem::path> LogFiles(const std::vector<std::string>& AArguments) {
  std::vector<std::filesystem::path> files;
  for (std::size_t i = 0; i < AArguments.size(); ++i) {
    if (AArguments[i] == "--log" && i + 1 < AArguments.size())
      files.emplace_back(AArguments[i + 1]);
    if (AArguments[i].starts_with("--log=")) files.emplace_back(AArguments[i].substr(6));
  }
  return files;
}

standin_test::StandinOptions ServerOptions(const std::vector<standin_test::Login>& AExtraLogins,
                                           const standin_test::StandinOptions& AServer) {
  standin_test::StandinOptions options{.trace = true};
  options.tls_certificate = AServer.tls_certificate;
  options.tls_key = AServer.tls_key;
  options.force_encryption = AServer.force_encryption;
  options.tds_version = AServer.tds_version;
  options.logins.push_back(kSiteLogin.user + ":" + kSiteLogin.password);
  for (const standin_test::Login& login : AExtraLogins) {
    options.logins.push_back(login.user + ":" + login.password);
  }
  return options;
}

void ExpectNoPassword(const std::vector<std::string>& APasswords, const std::string& AText,
                      const std::string& AWhere) {
  for (const std::string& password : APasswords) {
    if (AText.find(password) != std::string::npos) {
      ADD_FAILURE() << "the password \"" << password << "\" appears in " << AWhere;
    }
  }
}

// The runs of `AText` from `AStart` to the end of its line between ";" and
// "=", blanks trimmed, those left empty skipped.
std::vector<std::string> PiecesToTheLineEnd(const std::string& AText, std::size_t AStart) {
  std::vector<std::string> pieces;
  const std::size_t lineEnd = std::min(AText.find_first_of("\r\n", AStart), AText.size());
  while (AStart < lineEnd) {
    const std::size_t end = std::min(AText.find_first_of(";=", AStart), lineEnd);
    const std::size_t first = AText.find_first_not_of(" \t", AStart);
    const std::size_t last = AText.find_last_not_of(" \t", end - 1);
    if (first < end && last != std::string::npos && last >= first) {
      pieces.push_back(AText.substr(first, last + 1 - first));
    }
    AStart = end + 1;
  }
  return pieces;
}

}  // namespace

InstalledProgram::InstalledProgram(const std::filesystem::path& AExecutable,
                                   const std::vector<standin_test::Login>& AExtraLogins,
                                   const standin_test::StandinOptions& AServer)
    : server_(ServerOptions(AExtraLogins, AServer)),
      site_(server_.port(), AExecutable.filename().string(), kSiteLogin) {
  for (const standin_test::Login& login : AExtraLogins) passwords_.push_back(login.password);
  {
    standin_test::OdbcTestConnection setup(server_.port());
    standin_test::LoadScript(setup, jailgen::MakeScript(jailgen::MakeSample({}), {}));
  }
  RegisterJail();
  // A copy, not a link: the program's own name is where the link points.
  std::filesystem::copy_file(AExecutable, site_.ProgramPath());
  setupLines_ = server_.traceLines().size();
}

InstalledProgram::~InstalledProgram() {
  if (!startedAtTraceLine_) return;
  try {
    CheckOutputs(*startedAtTraceLine_, {});
  } catch (const std::exception& error) {
    ADD_FAILURE() << "the outputs could not be checked: " << error.what();
  }
}

std::vector<std::string> InstalledProgram::ProgramTrace() const {
  const std::vector<std::string> all = server_.traceLines();
  std::vector<std::string> lines;
  for (std::size_t i = setupLines_; i < all.size(); ++i) {
    const bool checks =
        std::any_of(checkLines_.begin(), checkLines_.end(),
                    [i](const auto& ARange) { return i >= ARange.first && i < ARange.second; });
    if (!checks) lines.push_back(all[i]);
  }
  return lines;
}

std::vector<std::string> InstalledProgram::ChildEnvironment() const {
  std::vector<std::string> environment = environment_;
  const bool namesLocale =
      std::any_of(environment.begin(), environment.end(),
                  [](const std::string& AEntry) { return AEntry.starts_with("LC_ALL="); });
  if (!namesLocale) environment.push_back(kChildLocale);
  return environment;
}

RunResult InstalledProgram::Run(const std::vector<std::string>& AArguments) {
  const std::filesystem::path out = scratch_.path() / "stdout";
  const std::filesystem::path err = scratch_.path() / "stderr";
  std::vector<std::string> argv = {site_.ProgramPath().string()};
  argv.insert(argv.end(), AArguments.begin(), AArguments.end());
  const std::size_t firstTraceLine = server_.traceLines().size();
  standin_test::ChildProcess child(argv, {.out = out, .err = err}, ChildEnvironment(),
                                   scratch_.path());
  const std::optional<int> exitCode = child.WaitFor(std::chrono::seconds(60));
  if (!exitCode) throw std::runtime_error("the program did not end within 60 s");
  CheckOutputs(firstTraceLine, LogFiles(AArguments));
  return {*exitCode, standin_test::ReadFile(out), standin_test::ReadFile(err)};
}

std::unique_ptr<standin_test::ChildProcess> InstalledProgram::Start() {
  if (!startedAtTraceLine_) startedAtTraceLine_ = server_.traceLines().size();
  return std::make_unique<standin_test::ChildProcess>(
      std::vector<std::string>{site_.ProgramPath().string()},
      standin_test::ChildStreams{.out = scratch_.path() / "stdout",
                                 .err = scratch_.path() / "stderr"},
      ChildEnvironment(), scratch_.path());
}

void InstalledProgram::RegisterJail(int AJailPort, const std::string& AExtraEntries) {
  standin_test::RegisterJail(server_.port(), AJailPort, kSiteLogin, AExtraEntries);
}

std::vector<std::string> InstalledProgram::TraceLinesWith(const std::string& AText) const {
  std::vector<std::string> lines;
  for (const std::string& line : ProgramTrace()) {
    if (line.find(AText) != std::string::npos) lines.push_back(line);
  }
  return lines;
}

void InstalledProgram::CheckOutputs(std::size_t AFirstTraceLine,
                                    const std::vector<std::filesystem::path>& AExtraFiles) {
  // Read first: looking the registry up adds trace lines of its own.
  const std::vector<std::string> trace = server_.traceLines();
  const std::vector<std::string> passwords = PasswordsInPlay();
  for (std::size_t i = AFirstTraceLine; i < trace.size(); ++i) {
    ExpectNoPassword(passwords, trace[i], "the trace line " + trace[i]);
  }
  std::vector<std::filesystem::path> files = AExtraFiles;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(scratch_.path())) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  for (const std::filesystem::path& file : files) {
    ExpectNoPassword(passwords, standin_test::ReadFile(scratch_.path() / file),
                     "the file " + file.string());
  }
}

std::vector<std::string> InstalledProgram::PasswordsInPlay() {
  std::vector<std::string> passwords = passwords_;
  passwords.push_back(kSiteLogin.password);
  for (const std::string& password : PasswordsIn(standin_test::ReadFile(site_.IniPath()))) {
    passwords.push_back(password);
  }
  const std::size_t firstLine = server_.traceLines().size();
  try {
    standin_test::OdbcTestConnection site(server_.port(), {"sa", "", "VANTOR"});
    for (const auto& row : site.Query("SELECT ConnString FROM ConnectLib").rows) {
      for (const std::string& password : PasswordsIn(row[0].value_or(""))) {
        passwords.push_back(password);
      }
    }
  } catch (const std::exception&) {
    // A stopped server or a spoilt site database registers nothing.
  }
  checkLines_.emplace_back(firstLine, server_.traceLines().size());
  std::erase_if(passwords, [](const std::string& APassword) {
    return APassword.size() < kShortestPasswordLookedFor;
  });
  std::sort(passwords.begin(), passwords.end());
  passwords.erase(std::unique(passwords.begin(), passwords.end()), passwords.end());
  return passwords;
}

std::regex StartUpErrorPattern(const std::filesystem::path& AIniPath, const std::string& AMessage) {
  const std::string ini = std::regex_replace(AIniPath.string(), std::regex("[.]"), "\\.");
  return std::regex("Application Error: " + std::regex_replace(AMessage, std::regex("<ini>"), ini) +
                    "\n");
}

std::string CompletedPass(int ALocations, int AContainers) {
  return "Property Locations Synchronization Completed\nAVAILABLE flags changed: " +
         std::to_string(ALocations) + " locations, " + std::to_string(AContainers) +
         " containers\n";
}

bool NamesAJailTable(const std::string& ATraceLine) {
  for (const char* table : {"CFGPROPL", "CFGPROPC", "WARDERLY", "WRIPROP", "WRPITEMS"}) {
    if (ATraceLine.find(table) != std::string::npos) return true;
  }
  return false;
}

std::vector<std::string> PasswordsIn(const std::string& AText) {
  const std::string lower = Lower(AText);
  std::vector<std::string> passwords;
  for (const std::string key : {"password", "pwd"}) {
    for (std::size_t at = lower.find(key); at != std::string::npos; at = lower.find(key, at + 1)) {
      std::size_t start = lower.find_first_not_of(" \t", at + key.size());
      if (start == std::string::npos || lower[start] != '=') continue;
      start = lower.find_first_not_of(" \t", start + 1);
      if (start == std::string::npos) continue;
      const bool quoted = AText[start] == '"' || AText[start] == '\'';
      std::size_t end;
      if (quoted) {
        end = AText.find(AText[start], start + 1);
        ++start;
      } else {
        end = AText.find_first_of(";\r\n", start);
      }
      std::string value = AText.substr(start, end == std::string::npos ? end : end - start);
      while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
      if (!value.empty()) passwords.push_back(value);
      if (!quoted && end != std::string::npos && AText[end] == ';') {
        for (std::string& piece : PiecesToTheLineEnd(AText, end + 1)) {
          passwords.push_back(std::move(piece));
        }
      }
    }
  }
  return passwords;
}

}  // namespace e2e_test
