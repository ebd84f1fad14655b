#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/file_open_error.h"
#include "platform/posix_file.h"
#include "platform/whole_file.h"

namespace platform {

namespace {

[[noreturn]] void RefuseToOpen(const std::string& AFileName, const std::string& AReason) {
  throw EFOpenError("Cannot open file \"" + MessageFileName(AFileName) + "\". " + AReason);
}

}  // namespace

std::string ReadWholeFile(const std::string& AFileName) {
  // Not blocking: opening a named pipe must not wait for a writer; the pipe
  // is refused right after.
  const int descriptor = open(AFileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) RefuseToOpen(AFileName, std::strerror(errno));
  const FileDescriptor file(descriptor);
  struct stat status {};
  if (fstat(file.Get(), &status) != 0) RefuseToOpen(AFileName, std::strerror(errno));
  if (!S_ISREG(status.st_mode)) RefuseToOpen(AFileName, "Not a regular file");
  if (static_cast<std::uintmax_t>(status.st_size) > kWholeFileLimit) {
    RefuseToOpen(AFileName, "File larger than 16 MiB");
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t count = read(file.Get(), buffer, sizeof buffer);
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      throw Exception("Cannot read file \"" + MessageFileName(AFileName) + "\". " +
                      std::strerror(errno));
    }
    bytes.append(buffer, static_cast<size_t>(count));
    // A file still growing as it is read.
    if (bytes.size() > kWholeFileLimit) RefuseToOpen(AFileName, "File larger than 16 MiB");
  }
  return bytes;
}

}  // namespace platform
