// A connection's settings as the ODBC connection string of the chosen driver.
// FreeTDS and the Microsoft drivers name several settings differently, and
// FreeTDS has no equivalent for some (see ConnectionString()).
#pragma once

#include <string>

namespace odbc {

struct ConnectSettings {
  std::string Driver;       // as registered with the driver manager
  std::string Server;       // "host", "host\instance" or "host,port"; empty: this machine
  int Port = 1433;          // appended to Server when not 1433 and Server holds no ","
  std::string Database;     // empty: the login's default database
  bool Integrated = false;  // Windows integrated login instead of Username/Password
  std::string Username;     // with both empty, a SQL login connects as "sa"
  std::string Password;
  std::string ApplicationName;  // empty: ProgramFileName()
  std::string WorkstationID;
  std::string Language;
  int PacketSize = 4096;
  bool Encrypt = false;
  bool AutoTranslate = true;
  std::string NetworkLibrary;
  std::string FailoverPartner;
  std::string InitialFileName;  // a database file to attach
  // The native-client drivers only:
  bool MultipleActiveResultSets = false;
  bool TrustServerCertificate = false;
  bool ReadOnlyIntent = false;
  // Seconds; a connection attribute, not part of the connection string.
  int LoginTimeout = 15;
  // FreeTDS only: the section of its configuration that names the server,
  // given in place of Server (see freetds_trust.h).
  std::string FreeTdsSection;
  // FreeTDS only: the file the driver writes its trace to (driver_trace.h);
  // empty: none.
  std::string DumpFile;
};

// The server as SQL Server's clients name it: `AServer`, "(local)" when
// empty, followed by "," and `APort` when `APort` is not 1433 and the server
// holds no ",".
std::string DataSource(const std::string& AServer, int APort);

// The connection string for `ASettings.Driver`, values enclosed in braces
// where they need it. For FreeTDS, the local machine ("(local)" or ".") is
// the loopback address, since FreeTDS resolves names only through DNS; and
// AutoTranslate, NetworkLibrary and FailoverPartner, which it has no keyword
// for, are left out; it encrypts the whole session when Encrypt is set, else
// at least the login where the server offers it, as the Microsoft drivers do;
// and it speaks TDS 7.4, never guessing the protocol. Throws Exception
// naming the setting (never its value) when a value holds a NUL character, or "};", which
// FreeTDS 1.3 ends a braced value at.
std::string ConnectionString(const ConnectSettings& ASettings);

// Whether `ASettings.Driver` is FreeTDS.
bool IsFreeTds(const ConnectSettings& ASettings);

// Where FreeTDS connects for `ASettings`: the host (the loopback address for
// this machine) and either a named instance or a port.
struct FreeTdsAddress {
  std::string Host;
  std::string Instance;  // empty: Port
  std::string Port;      // "1433" unless the data source names another
};
FreeTdsAddress FreeTdsAddressOf(const ConnectSettings& ASettings);

// The running program's file name without its directory; empty when the
// system cannot tell it.
std::string ProgramFileName();

}  // namespace odbc
