#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/file_open_error.h"
#include "platform/whole_file.h"

namespace platform {

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int ADescriptor) : FDescriptor(ADescriptor) {}
  ~FileDescriptor() { close(FDescriptor); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return FDescriptor; }

 private:
  int FDescriptor;
};

// The name as the operator should read it; the name itself when the
// current directory cannot be told.
std::string FullPath(const std::string& AFileName) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(AFileName, error);
  return error ? AFileName : full.lexically_normal().string();
}

}  // namespace

std::string ReadWholeFile(const std::string& AFileName) {
  // Not blocking: a named pipe without a writer reads as empty instead of
  // stopping the program.
  const int descriptor = open(AFileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) {
    const int reason = errno;
    throw EFOpenError("Cannot open file \"" + FullPath(AFileName) + "\". " + std::strerror(reason));
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
      throw Exception("Cannot read file \"" + FullPath(AFileName) + "\". " + std::strerror(errno));
    }
    bytes.append(buffer, static_cast<size_t>(count));
  }
  return bytes;
}

}  // namespace platform
