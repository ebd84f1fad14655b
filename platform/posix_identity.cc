#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <vector>

#include "platform/identity.h"

namespace platform {

namespace {

const char kUnknown[] = "unknown";

}  // namespace

// The account of the process, not $USER: a variable could claim anyone, and
// the lock row should name who really holds the record.
std::string UserName() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
      !found->pw_name || !*found->pw_name) {
    return kUnknown;
  }
  return found->pw_name;
}

std::string ComputerName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0 || !*name) return kUnknown;
  return name;
}

}  // namespace platform
