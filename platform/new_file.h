// Writing a whole file at once, as the program's saved texts are written.
// The texts name inmates, so on POSIX hosts such a file is readable and
// writable by its owner only (mode 0600) whatever the umask, and a symbolic
// link at its name is refused, never followed. On Windows the file has the
// access the system gives it (a new file its folder's, an existing one its
// own).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

// A file made ready before the work whose text it will hold, so that a name
// where no file can be written is found before that work starts. An existing
// file keeps its bytes until Write: a process that ends before then leaves it
// as it was (on POSIX hosts already private), a new one empty.
class NewFile {
 public:
  // Creates the file `AFileName` (absolute, or relative to the current
  // directory) or opens the one there, and on POSIX hosts makes it private.
  // Throws Exception "Cannot create file "<full path>". <the system's reason>"
  // when it cannot be created, opened or given its mode (a link at the name:
  // "Too many levels of symbolic links").
  explicit NewFile(const std::string& AFileName);
  ~NewFile();
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // Makes `ABytes` the file's whole content. Throws Exception "Cannot write
  // file "<full path>". <the system's reason>" when that fails.
  void Write(std::string_view ABytes);

 private:
  struct Handle;  // the host's open file
  std::unique_ptr<Handle> FHandle;
};

// Creates the file `AFileName`, replacing one that exists, and writes exactly
// `ABytes` to it: NewFile(AFileName).Write(ABytes).
void WriteNewFile(const std::string& AFileName, std::string_view ABytes);

}  // namespace platform
