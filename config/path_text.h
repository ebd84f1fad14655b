// The two text rules the configuration file search applies to names.
#pragma once

#include <string>
#include <string_view>

// `AText` without its leading and trailing characters of code 32 or less
// (blanks and control characters).
std::string Trim(std::string_view AText);

// The folder part of `AFileName`: its text up to and including the last "\"
// or ":"; empty when it holds neither. A name ending in "\" is its own folder.
std::string FolderPart(std::string_view AFileName);
