// Files meant for the operator's other programs are written in the system's
// ANSI code page: CP_ACP on Windows; on POSIX hosts the character set of the
// current locale (LC_CTYPE, which a program takes from the environment with
// setlocale(LC_ALL, "") at start-up).
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Whether the ANSI code page is UTF-8.
bool AnsiCodePageIsUtf8();

// `AText` (UTF-8) in the ANSI code page; a character the code page lacks, or
// a byte that is not UTF-8, becomes the code page's default character ("?"
// on POSIX hosts). Throws Exception when the system cannot convert to the
// code page at all.
std::string AnsiFromUtf8(std::string_view AText);

}  // namespace platform
