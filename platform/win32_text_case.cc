#include <windows.h>

#include "platform/text_case.h"
#include "platform/win32_text.h"

namespace platform {

bool SameTextIgnoringCase(std::string_view A, std::string_view B) {
  const std::wstring a = WideFromUtf8(A);
  const std::wstring b = WideFromUtf8(B);
  return CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                         static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), nullptr,
                         nullptr, 0) == CSTR_EQUAL;
}

}  // namespace platform
