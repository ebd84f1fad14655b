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

[[noreturn]] void RefuseToWrite(const std::string& AFileName, int AReason) {
  throw Exception("Cannot write file \"" + MessageFileName(AFileName) + "\". " +
                  std::strerror(AReason));
}

}  // namespace

struct NewFile::Handle {
  std::string Name;
  FileDescriptor File;
  bool Regular;  // a device such as /dev/null is no file of ours
};

NewFile::NewFile(const std::string& AFileName) {
  // Not truncated while opening: a file the process may not make private
  // (another user's) must be refused whole, not emptied first.
  const int descriptor =
      open(AFileName.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (descriptor < 0) RefuseToCreate(AFileName, errno);
  FHandle.reset(new Handle{AFileName, FileDescriptor(descriptor), false});
  struct stat status {};
  if (fstat(descriptor, &status) != 0) RefuseToCreate(AFileName, errno);
  FHandle->Regular = S_ISREG(status.st_mode);
  if (FHandle->Regular && fchmod(descriptor, S_IRUSR | S_IWUSR) != 0) {
    RefuseToCreate(AFileName, errno);
  }
}

NewFile::~NewFile() = default;

void NewFile::Write(std::string_view ABytes) {
  const int descriptor = FHandle->File.Get();
  if (FHandle->Regular && (ftruncate(descriptor, 0) != 0 || lseek(descriptor, 0, SEEK_SET) != 0)) {
    RefuseToWrite(FHandle->Name, errno);
  }
  while (!ABytes.empty()) {
    const ssize_t written = write(descriptor, ABytes.data(), ABytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      RefuseToWrite(FHandle->Name, errno);
    }
    ABytes.remove_prefix(static_cast<size_t>(written));
  }
}

void WriteNewFile(const std::string& AFileName, std::string_view ABytes) {
  NewFile(AFileName).Write(ABytes);
}

}  // namespace platform
