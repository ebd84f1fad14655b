// Finding a path on a case-sensitive file system the way Windows finds it.
// Sites copy their folder trees from Windows, where letter case never
// mattered, so a name may reach us in another case than the one on disk.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Whether `A` and `B` (UTF-8) are the same name without regard to letter
// case: whole characters compared upper-cased. Bytes that are not UTF-8 must
// be equal.
bool SameNameIgnoringCase(std::string_view A, std::string_view B);

// `APath` (POSIX, absolute or relative to the current directory) with every
// component that does not exist in its exact case replaced by the entry of its
// directory that matches it without regard to case (of several, the first in
// byte order). Nothing when a component matches no entry. Links are followed;
// "." and ".." are taken as they are; a trailing "/" stays.
std::optional<std::string> MatchPathIgnoringCase(std::string_view APath);

}  // namespace platform
