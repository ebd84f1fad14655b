// How FreeTDS is told whether to verify the server's certificate.
//
// FreeTDS 1.3 verifies a certificate only against authorities that its
// configuration file names ("ca file"), and its ODBC driver reads that file
// only for a connection that names a section of it ("Servername=") instead
// of a server. So an encrypting connection gets a file of its own, found
// through FREETDSCONF, whose one section names the server, the authorities
// and the name check; FreeTDS looks no further once the section is found.
// The file lies in a directory only this process's user can enter.
// POSIX hosts only: there the driver reads this process's environment.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "db/odbc/connect_settings.h"

namespace odbc {

// The authorities a server's certificate is verified against: the bundle
// SSL_CERT_FILE names, as OpenSSL-based clients take it, else the system's
// store ("system" to FreeTDS).
std::string TrustedAuthorities();

// While alive, a FreeTDS connection whose FreeTdsSection is Section() reaches
// `AAddress` and verifies the server's certificate and name against
// TrustedAuthorities() when `AVerify` is true, and verifies nothing when it
// is false. Not thread-safe: the environment is the process's. Throws
// Exception when the file cannot be written, or when a part of the address
// or the authorities' file name cannot be written into it unchanged.
class FreeTdsTrustScope {
 public:
  FreeTdsTrustScope(const FreeTdsAddress& AAddress, bool AVerify);
  // Puts FREETDSCONF back as it was and removes the file and the directory
  // made for it.
  ~FreeTdsTrustScope();
  FreeTdsTrustScope(const FreeTdsTrustScope&) = delete;
  FreeTdsTrustScope& operator=(const FreeTdsTrustScope&) = delete;

  static const std::string& Section();

 private:
  std::string PrivateDirectory();
  void RemoveMadeDirectory();

  std::filesystem::path FFile;
  std::string FMadeDirectory;            // made for the file; empty: $RUNTIME_DIRECTORY
  std::optional<std::string> FPrevious;  // FREETDSCONF before; nullopt: unset
};

}  // namespace odbc
