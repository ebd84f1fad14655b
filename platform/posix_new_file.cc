#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/exception.h"
#include "platform/new_file.h"
#include "platform/posix_file.h"

namespace platform {

namespace {

[[noreturn]] void RefuseToCreate(const std::string& AFileName, int AReason) {
  throw Exception("Cannot create file \"" + MessageFileName(AFileName) + "\". " +
                  std::strerror(AReason));
}

}  // namespace

void WriteNewFile(const std::string& AFileName, std::string_view ABytes) {
  // Not truncated while opening: a file the process may not make private
  // (another user's) must be refused whole, not emptied first.
  const int descriptor =
      open(AFileName.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (descriptor < 0) RefuseToCreate(AFileName, errno);
  FileDescriptor file(descriptor);
  struct stat status {};
  if (fstat(file.Get(), &status) != 0) RefuseToCreate(AFileName, errno);
  // A device such as /dev/null keeps its mode: it is no file of ours.
  if (S_ISREG(status.st_mode)) {
    if (fchmod(file.Get(), S_IRUSR | S_IWUSR) != 0) RefuseToCreate(AFileName, errno);
    if (ftruncate(file.Get(), 0) != 0) RefuseToCreate(AFileName, errno);
  }
  while (!ABytes.empty()) {
    const ssize_t written = write(file.Get(), ABytes.data(), ABytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw Exception("Cannot write file \"" + MessageFileName(AFileName) + "\". " +
                      std::strerror(errno));
    }
    ABytes.remove_prefix(static_cast<size_t>(written));
  }
}

}  // namespace platform
