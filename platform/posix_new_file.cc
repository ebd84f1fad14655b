#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/exception.h"
#include "platform/new_file.h"

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

void WriteNewFile(const std::string& AFileName, std::string_view ABytes) {
  const int descriptor = open(AFileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    const int reason = errno;
    throw Exception("Cannot create file \"" + FullPath(AFileName) + "\". " + std::strerror(reason));
  }
  FileDescriptor file(descriptor);
  while (!ABytes.empty()) {
    const ssize_t written = write(file.Get(), ABytes.data(), ABytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw Exception("Cannot write file \"" + FullPath(AFileName) + "\". " + std::strerror(errno));
    }
    ABytes.remove_prefix(static_cast<size_t>(written));
  }
}

}  // namespace platform
