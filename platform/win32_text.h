// Text crosses the Win32 border as UTF-16 (the W functions); inside the
// program it is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// `AText` as UTF-16; bytes that are not UTF-8 become U+FFFD. Throws Exception
// for a text longer than Win32 can convert at once (2 GiB).
std::wstring WideFromUtf8(std::string_view AText);

// `AText` as UTF-8; unpaired surrogates become U+FFFD. Throws Exception as
// WideFromUtf8.
std::string Utf8FromWide(std::wstring_view AText);

}  // namespace platform
