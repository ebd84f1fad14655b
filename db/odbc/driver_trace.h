// The driver's trace of every session, which the operator may ask for to
// diagnose a connection. FreeTDS's trace holds the logins' passwords and
// every row read (inmates' names), so it is written only when asked for here,
// never because of the environment, and into a file only its owner can read.
#pragma once

#include <string>

namespace odbc {

// From now on, sessions opened through FreeTDS write the driver's trace to
// `AFileName` (made absolute against the current directory). Creates the
// file at once, empty, replacing one that exists, readable by its owner only
// on POSIX hosts; a symbolic link at the name is refused. Throws Exception
// "Cannot create file "<full path>". <the system's reason>" when it cannot.
void TraceDriverTo(const std::string& AFileName);

// The file TraceDriverTo() named, absolute; empty when no trace was asked for.
const std::string& DriverTraceFile();

}  // namespace odbc
