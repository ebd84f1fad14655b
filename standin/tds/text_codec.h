// Conversions between the engine's UTF-8 text and the encodings on the wire:
// UCS-2/UTF-16LE for the Unicode types and names, code page 1252 for the
// char types of the server's collation (SQL_Latin1_General_CP1_CI_AS).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace standin::tds {

// UTF-16LE bytes to UTF-8; unpaired surrogates and an odd last byte become U+FFFD.
std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes);
// UTF-8 to UTF-16LE bytes; invalid UTF-8 sequences become U+FFFD.
std::vector<std::uint8_t> Utf8ToUtf16Le(std::string_view utf8);
// Code page 1252 bytes to UTF-8 (the five unassigned bytes map to U+FFFD).
std::string Cp1252ToUtf8(std::span<const std::uint8_t> bytes);
// UTF-8 to code page 1252; characters the code page lacks become '?', as SQL Server
// does when it stores Unicode text in a varchar column.
std::vector<std::uint8_t> Utf8ToCp1252(std::string_view utf8);

}  // namespace standin::tds
