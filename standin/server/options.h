// The command line of sqlserver-standin:
//   sqlserver-standin --data DIR [--port N] [--login NAME:PASSWORD]... [--trace FILE]
//                     [--fault-file FILE] [--tls-cert FILE --tls-key FILE [--force-encryption]]
//                     [--delay-ms N] [--tds-version 7.2|7.3|7.4]
// --fault-file names the file through which a test ends a session or stops
// the server at a chosen request (see fault_control.h). With a certificate and
// its key (PEM) the server offers TLS as SQL Server does: at least the login is
// encrypted for a client that can, and the whole session for one that asks;
// --force-encryption encrypts every session and refuses clients that cannot.
// --delay-ms holds every reply back, as a slow link between client and server
// would. --tds-version makes the server an older SQL Server: 7.2 answers
// logins as SQL Server 2005 does, 7.3 as SQL Server 2008, each session then
// speaking the lower of that and the client's version.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "server_version.h"

namespace standin::server {

struct ServerOptions {
  std::filesystem::path data_dir;
  std::uint16_t port = 0;  // 0: any free port
  // Login name -> password. The login sa (empty password) is always there;
  // --login sa:PASSWORD changes its password.
  std::map<std::string, std::string> logins = {{"sa", ""}};
  std::filesystem::path trace_file;       // empty: no trace
  std::filesystem::path fault_file;       // empty: no faults
  std::filesystem::path tls_certificate;  // empty: no TLS
  std::filesystem::path tls_key;
  bool force_encryption = false;
  std::chrono::milliseconds reply_delay{0};
  tds::TdsVersion highest_version = tds::TdsVersion::k74;
};

// A command line the server cannot run with; what() says why.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& what) : std::runtime_error(what) {}
};

// Parses the arguments after the program name. Options may also be written --name=value.
ServerOptions ParseOptions(const std::vector<std::string>& args);

// The usage text printed with a UsageError.
const char* UsageText();

}  // namespace standin::server
