#include "tsql_runner.h"

#include <signal.h>

#include <chrono>
#include <fstream>

#include "child_process.h"
#include "temp_dir.h"

namespace standin_test {
namespace {

constexpr auto kTimeout = std::chrono::seconds(60);

}  // namespace

TsqlResult RunTsql(int port, const std::vector<std::string>& batches, const Login& login) {
  TempDir dir;
  const ChildStreams streams{.in = dir.path() / "script.sql",
                             .out = dir.path() / "out.txt",
                             .err = dir.path() / "err.txt"};
  {
    std::ofstream script(streams.in, std::ios::binary);
    for (const std::string& batch : batches) script << batch << "\ngo\n";
  }
  std::vector<std::string> argv = {"/usr/bin/tsql",      "-H", "127.0.0.1", "-p",
                                   std::to_string(port), "-U", login.user,  "-P",
                                   login.password};
  if (!login.database.empty()) {
    argv.push_back("-D");
    argv.push_back(login.database);
  }
  TsqlResult result;
  {
    ChildProcess tsql(argv, streams, {"TDSVER=7.4"});
    std::optional<int> code = tsql.WaitFor(kTimeout);
    if (!code) {
      tsql.Signal(SIGKILL);
      code = tsql.WaitFor(kTimeout);
    }
    result.exit_code = code.value_or(-1);
  }
  result.out = ReadFile(streams.out);
  result.err = ReadFile(streams.err);
  return result;
}

}  // namespace standin_test
