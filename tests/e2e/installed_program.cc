#include "installed_program.h"

#include <stdexcept>

#include "jail_sample.h"
#include "jail_script.h"
#include "odbc_test_connection.h"
#include "script_loader.h"

namespace e2e_test {

InstalledProgram::InstalledProgram(const std::filesystem::path& AExecutable)
    : site_(server_.port(), AExecutable.filename().string()) {
  {
    standin_test::OdbcTestConnection setup(server_.port());
    standin_test::LoadScript(setup, jailgen::MakeScript(jailgen::MakeSample({}), {}));
  }
  standin_test::RegisterJail(server_.port());
  // A copy, not a link: the program's own name is where the link points.
  std::filesystem::copy_file(AExecutable, site_.ProgramPath());
  setupLines_ = server_.traceLines().size();
}

std::vector<std::string> InstalledProgram::ProgramTrace() const {
  std::vector<std::string> lines = server_.traceLines();
  lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(setupLines_));
  return lines;
}

RunResult InstalledProgram::Run(const std::vector<std::string>& AArguments) {
  const std::filesystem::path out = scratch_.path() / "stdout";
  const std::filesystem::path err = scratch_.path() / "stderr";
  std::vector<std::string> argv = {site_.ProgramPath().string()};
  argv.insert(argv.end(), AArguments.begin(), AArguments.end());
  standin_test::ChildProcess child(argv, {.out = out, .err = err});
  const std::optional<int> exitCode = child.WaitFor(std::chrono::seconds(60));
  if (!exitCode) throw std::runtime_error("the program did not end within 60 s");
  return {*exitCode, standin_test::ReadFile(out), standin_test::ReadFile(err)};
}

std::unique_ptr<standin_test::ChildProcess> InstalledProgram::Start() {
  return std::make_unique<standin_test::ChildProcess>(
      std::vector<std::string>{site_.ProgramPath().string()},
      standin_test::ChildStreams{.out = scratch_.path() / "stdout",
                                 .err = scratch_.path() / "stderr"});
}

std::vector<std::string> InstalledProgram::TraceLinesWith(const std::string& AText) const {
  std::vector<std::string> lines;
  for (const std::string& line : ProgramTrace()) {
    if (line.find(AText) != std::string::npos) lines.push_back(line);
  }
  return lines;
}

bool NamesAJailTable(const std::string& ATraceLine) {
  for (const char* table : {"CFGPROPL", "CFGPROPC", "WARDERLY", "WRIPROP", "WRPITEMS"}) {
    if (ATraceLine.find(table) != std::string::npos) return true;
  }
  return false;
}

}  // namespace e2e_test
