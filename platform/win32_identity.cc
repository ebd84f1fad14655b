#include <windows.h>

#include "platform/identity.h"
#include "platform/win32_text.h"

namespace platform {

namespace {

// Both calls are given 256 characters, as every program of the site asks:
// a longer name could not be written into the lock row anyway.
constexpr DWORD kNameBuffer = 256;

template <class Call>
std::string NameFrom(Call ACall) {
  wchar_t name[kNameBuffer] = {};
  DWORD size = kNameBuffer;
  if (!ACall(name, &size) || !*name) return "unknown";
  try {
    return Utf8FromWide(name);
  } catch (...) {
    return "unknown";
  }
}

}  // namespace

std::string UserName() {
  return NameFrom(GetUserNameW);
}

std::string ComputerName() {
  return NameFrom(GetComputerNameW);
}

}  // namespace platform
