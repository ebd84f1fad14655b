// The variables through which FreeTDS lets a process's environment decide
// what its driver sends and where its trace goes.
//
// FreeTDS reads them at every connect, after its configuration files and
// with priority over them: TDSVER picks the protocol (7.0 sends the login
// without asking for encryption, even when it is required; "auto" falls back
// to a protocol SQL Server never speaks, whose password encryption trusts a
// key the other end sends), TDSHOST and TDSPORT redirect the connection, and
// TDSDUMP and TDSDUMPCONFIG write a trace holding the passwords and the rows
// read into a file readable by all. None of them may decide a session of
// ours, so they are set aside while one opens. POSIX hosts only: there the
// driver reads this process's environment.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace odbc {

// While alive, the FreeTDS variables above are unset; they are put back as
// they were when it ends, also when the connect throws. Not thread-safe: the
// environment is the process's.
class FreeTdsEnvironmentScope {
 public:
  FreeTdsEnvironmentScope();
  ~FreeTdsEnvironmentScope();
  FreeTdsEnvironmentScope(const FreeTdsEnvironmentScope&) = delete;
  FreeTdsEnvironmentScope& operator=(const FreeTdsEnvironmentScope&) = delete;

 private:
  std::vector<std::pair<const char*, std::string>> FSetAside;  // name, value
};

}  // namespace odbc
