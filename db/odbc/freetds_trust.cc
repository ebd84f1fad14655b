#include "db/odbc/freetds_trust.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

#include "core/exception.h"

namespace odbc {
namespace {

constexpr const char* kConfigVariable = "FREETDSCONF";

// FreeTDS reads lines of up to 254 characters and ends a value at "#" or ";"
// (comments); a line break would start a setting of its own. A value that
// holds any of them, or blanks at its ends, which FreeTDS drops, would not
// reach it as written.
std::string Line(std::string_view AKey, const std::string& AValue) {
  constexpr std::size_t kLongestLine = 254;
  const std::string line = "\t" + std::string(AKey) + " = " + AValue;
  if (line.size() > kLongestLine || AValue.find_first_of("#;\r\n") != std::string::npos ||
      (!AValue.empty() && (AValue.front() == ' ' || AValue.back() == ' '))) {
    throw Exception("The " + std::string(AKey) + " \"" + AValue +
                    "\" cannot be given to FreeTDS for an encrypted connection");
  }
  return line + "\n";
}

std::string Configuration(const FreeTdsAddress& AAddress, bool AVerify) {
  std::string text = "[" + FreeTdsTrustScope::Section() + "]\n" + Line("host", AAddress.Host);
  text +=
      AAddress.Instance.empty() ? Line("port", AAddress.Port) : Line("instance", AAddress.Instance);
  // An empty "ca file" verifies nothing.
  text += Line("ca file", AVerify ? TrustedAuthorities() : std::string());
  text += Line("check certificate hostname", "yes");
  return text;
}

[[noreturn]] void RaiseFileError() {
  throw Exception("Cannot write the FreeTDS configuration for an encrypted connection: " +
                  std::generic_category().message(errno));
}

}  // namespace

std::string TrustedAuthorities() {
  const char* bundle = std::getenv("SSL_CERT_FILE");
  return bundle != nullptr && *bundle != '\0' ? bundle : "system";
}

const std::string& FreeTdsTrustScope::Section() {
  static const std::string section = "encrypted-session";
  return section;
}

FreeTdsTrustScope::FreeTdsTrustScope(const FreeTdsAddress& AAddress, bool AVerify) {
  const std::string text = Configuration(AAddress, AVerify);
  std::string name = PrivateDirectory() + "/freetds-XXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    const int error = errno;
    RemoveMadeDirectory();
    errno = error;
    RaiseFileError();
  }
  FFile = name;
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      const int error = errno;
      ::close(fd);
      ::unlink(name.c_str());
      RemoveMadeDirectory();
      errno = error;
      RaiseFileError();
    }
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (const char* previous = std::getenv(kConfigVariable)) FPrevious = previous;
  ::setenv(kConfigVariable, name.c_str(), 1);
}

FreeTdsTrustScope::~FreeTdsTrustScope() {
  if (FPrevious) {
    ::setenv(kConfigVariable, FPrevious->c_str(), 1);
  } else {
    ::unsetenv(kConfigVariable);
  }
  ::unlink(FFile.c_str());
  RemoveMadeDirectory();
}

// The file names the server and what to trust of it, so no one else may
// write, replace or even list it: a service's own runtime directory where
// systemd gave one, else a directory of our own made for the file.
std::string FreeTdsTrustScope::PrivateDirectory() {
  const char* runtime = std::getenv("RUNTIME_DIRECTORY");
  if (runtime != nullptr && *runtime != '\0') {
    // systemd lists several directories separated by ":"; ours is the first.
    const std::string_view directories(runtime);
    return std::string(directories.substr(0, directories.find(':')));
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string name =
      std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/freetds-session-XXXXXX";
  if (::mkdtemp(name.data()) == nullptr) RaiseFileError();
  FMadeDirectory = name;
  return name;
}

void FreeTdsTrustScope::RemoveMadeDirectory() {
  if (!FMadeDirectory.empty()) ::rmdir(FMadeDirectory.c_str());
}

}  // namespace odbc
