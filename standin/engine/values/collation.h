// Character handling as under SQL_Latin1_General_CP1_CI_AS: comparisons that
// ignore letter case and trailing blanks, LIKE matching, code page 1252.
// All strings are UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace standin::engine {

std::vector<char32_t> DecodeUtf8(std::string_view text);  // invalid bytes read as U+FFFD
std::string EncodeUtf8(const std::vector<char32_t>& chars);
std::size_t CharCount(std::string_view utf8);

// <0, 0, >0 as a sorts before, equal to, after b, ignoring case and trailing blanks.
int CompareCi(std::string_view a, std::string_view b);

// LIKE with %, _, [set], [^set] and an optional escape character (0: none).
// Case-insensitive; trailing blanks of `text` do not matter.
bool LikeMatch(std::string_view text, std::string_view pattern, char32_t escape);

std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

// The text as a varchar keeps it: characters outside code page 1252 become '?'.
std::string ToCodePage1252(std::string_view text);

}  // namespace standin::engine
