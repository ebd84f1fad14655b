// What text looks like on a TDS connection's wire, to look for it in recorded
// bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace standin_test {

// Whether `needle` occurs in `haystack` as one unbroken run; an empty needle
// always does.
bool Contains(std::span<const std::uint8_t> haystack, std::span<const std::uint8_t> needle);

// `ascii` in UTF-16LE, as TDS carries SQL text, names and strings. Throws
// std::invalid_argument for a byte outside ASCII.
std::vector<std::uint8_t> Utf16Le(std::string_view ascii);

// `ascii_password` as a LOGIN7 record carries it: UTF-16LE with each byte's
// halves swapped and then XORed with 0xA5 -- readable by anyone who sees it.
std::vector<std::uint8_t> Login7PasswordForm(std::string_view ascii_password);

}  // namespace standin_test
