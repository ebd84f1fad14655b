#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/exception.h"
#include "platform/new_file.h"
#include "platform/posix_file.h"

namespace platform {

void WriteNewFile(const std::string& AFileName, std::string_view ABytes) {
  const int descriptor = open(AFileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    const int reason = errno;
    throw Exception("Cannot create file \"" + MessageFileName(AFileName) + "\". " +
                    std::strerror(reason));
  }
  FileDescriptor file(descriptor);
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
