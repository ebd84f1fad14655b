// Opening a session with the certificate checks its encryption settings ask
// for, whichever driver serves it, and nothing else deciding what goes on the
// wire.
#pragma once

#include "db/odbc/connect_settings.h"
#include "db/odbc/connection.h"

namespace odbc {

// Opens `ASession` as `ASettings` describe, never prompting. With Encrypt the
// session is encrypted or not opened, and the server's certificate is
// verified against the trusted authorities and the server's name unless
// TrustServerCertificate. Through FreeTDS the environment's say over the
// protocol, the address and the trace is set aside while the session opens
// (freetds_environment.h), and the trace goes where DriverTraceFile() names,
// if anywhere. Throws as Connection::DriverConnect() does; where
// the driver fails an encrypted session without saying why, the error gets a
// last record naming the reason.
void OpenSession(Connection& ASession, const ConnectSettings& ASettings);

}  // namespace odbc
