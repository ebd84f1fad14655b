#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/file_open_error.h"
#include "platform/posix_file.h"
#include "platform/whole_file.h"

namespace platform {

std::string ReadWholeFile(const std::string& AFileName) {
  // Not blocking: a named pipe without a writer reads as empty instead of
  // stopping the program.
  const int descriptor = open(AFileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) {
    const int reason = errno;
    throw EFOpenError("Cannot open file \"" + MessageFileName(AFileName) + "\". " +
                      std::strerror(reason));
  }
  const FileDescriptor file(descriptor);
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t count = read(file.Get(), buffer, sizeof buffer);
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) break;
      throw Exception("Cannot read file \"" + MessageFileName(AFileName) + "\". " +
                      std::strerror(errno));
    }
    bytes.append(buffer, static_cast<size_t>(count));
  }
  return bytes;
}

}  // namespace platform
