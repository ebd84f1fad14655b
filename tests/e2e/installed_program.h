// One of the real executables installed at a site of its own: a traced
// stand-in holding the site database (ConnectLib registers "JAIL") and the
// sample jail, and a copy of the executable in the site's VANTOR.APP folder,
// so that it finds the site's Vantor.ini as an installed program does.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "installed_site.h"
#include "standin_server.h"
#include "temp_dir.h"

namespace e2e_test {

struct RunResult {
  int exitCode;
  std::string out;
  std::string err;
};

class InstalledProgram {
 public:
  // Copies `AExecutable` into the site as "<its name>".
  explicit InstalledProgram(const std::filesystem::path& AExecutable);

  standin_test::StandinServer& Server() { return server_; }
  standin_test::InstalledSite& Site() { return site_; }
  // A scratch folder for the test's own files.
  const std::filesystem::path& Scratch() const { return scratch_.path(); }

  // Runs the installed program with `AArguments` to its end (at most 60 s).
  RunResult Run(const std::vector<std::string>& AArguments = {});
  // Starts it and leaves it running.
  std::unique_ptr<standin_test::ChildProcess> Start();

  // The trace lines the program caused: those after the site was set up.
  std::vector<std::string> ProgramTrace() const;
  // Those of them that mention `AText`.
  std::vector<std::string> TraceLinesWith(const std::string& AText) const;

 private:
  standin_test::StandinServer server_{{.trace = true}};
  standin_test::InstalledSite site_;
  standin_test::TempDir scratch_;
  std::size_t setupLines_ = 0;
};

// The sample jail's tables, one of which every statement of the pass names.
bool NamesAJailTable(const std::string& ATraceLine);

}  // namespace e2e_test
