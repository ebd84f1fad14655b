// File modes as the tests set and read them on POSIX hosts.
#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace app_test {

// Sets the process's umask while it lives, then puts the one before back.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t AMask) : previous_(umask(AMask)) {}
  ~ScopedUmask() { umask(previous_); }
  ScopedUmask(const ScopedUmask&) = delete;
  ScopedUmask& operator=(const ScopedUmask&) = delete;

 private:
  mode_t previous_;
};

// The permission bits of `APath` itself (a link is not followed) in octal,
// such as "0644"; "none" when nothing is there.
inline std::string OctalMode(const std::filesystem::path& APath) {
  struct stat status {};
  if (lstat(APath.c_str(), &status) != 0) return "none";
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(status.st_mode & 07777));
  return text;
}

}  // namespace app_test
