// Text written by the operator's other programs without a byte-order mark is
// in the system's ANSI code page (see ansi_text.h for what that is on each
// host); the program holds text as UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// `ABytes` (ANSI code page) as UTF-8. A byte the code page does not define
// becomes U+FFFD on POSIX hosts, and what Windows makes of it there. When
// the code page is UTF-8 the bytes are taken as they are on POSIX hosts;
// Windows makes U+FFFD of a byte that is not UTF-8. Throws Exception when
// the system cannot convert from the code page at all.
std::string Utf8FromAnsi(std::string_view ABytes);

}  // namespace platform
