#include "host_path.h"

#ifdef _WIN32
#include <windows.h>

#include <memory>
#include <stdexcept>
#endif

namespace standin_test {

#ifdef _WIN32

// Wine's own export, absent on Windows itself, where there is no Linux side to hand paths to.
std::string HostPath(const std::filesystem::path& path) {
  using UnixFileName = char*(CDECL*)(const wchar_t*);
  static const auto to_unix = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (to_unix == nullptr) throw std::runtime_error("not running under wine");
  const auto free_name = [](char* name) { HeapFree(GetProcessHeap(), 0, name); };
  const std::unique_ptr<char, decltype(free_name)> name(to_unix(path.c_str()), free_name);
  if (!name) throw std::runtime_error("no Linux path for " + path.string());
  return name.get();
}

#else

std::string HostPath(const std::filesystem::path& path) {
  return path.string();
}

#endif

}  // namespace standin_test
