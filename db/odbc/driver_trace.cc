#include "db/odbc/driver_trace.h"

#include <filesystem>

#include "platform/new_file.h"

namespace odbc {
namespace {

std::string& TraceFile() {
  static std::string file;
  return file;
}

// The driver takes two names, "stdout" and "stderr", as its streams, and a
// relative name against whatever directory is current when it opens it.
std::string AbsoluteName(const std::string& AFileName) {
  const std::filesystem::path name(
      std::u8string(reinterpret_cast<const char8_t*>(AFileName.data()), AFileName.size()));
  const std::u8string absolute = std::filesystem::absolute(name).u8string();
  return std::string(reinterpret_cast<const char*>(absolute.data()), absolute.size());
}

}  // namespace

void TraceDriverTo(const std::string& AFileName) {
  const std::string file = AbsoluteName(AFileName);
  platform::WriteNewFile(file, "");
  TraceFile() = file;
}

const std::string& DriverTraceFile() { return TraceFile(); }

}  // namespace odbc
