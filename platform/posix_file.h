// What the POSIX file services share: an open descriptor that closes
// itself, and the name of a file as the operator should read it in a message.
#pragma once

#include <unistd.h>

#include <string>

namespace platform {

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

// `AFileName` made absolute and normalised; the name itself when the current
// directory cannot be told.
std::string MessageFileName(const std::string& AFileName);

}  // namespace platform
