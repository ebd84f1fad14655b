#include "wire_forms.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace standin_test {

bool Contains(std::span<const std::uint8_t> haystack, std::span<const std::uint8_t> needle) {
  return needle.empty() || std::search(haystack.begin(), haystack.end(), needle.begin(),
                                       needle.end()) != haystack.end();
}

std::vector<std::uint8_t> Utf16Le(std::string_view ascii) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(ascii.size() * 2);
  for (char c : ascii) {
    if (static_cast<unsigned char>(c) > 0x7F) {
      throw std::invalid_argument("not ASCII: " + std::string(ascii));
    }
    bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(0);
  }
  return bytes;
}

std::vector<std::uint8_t> Login7PasswordForm(std::string_view ascii_password) {
  std::vector<std::uint8_t> bytes = Utf16Le(ascii_password);
  for (std::uint8_t& b : bytes) {
    b = static_cast<std::uint8_t>(((b << 4) | (b >> 4)) ^ 0xA5);
  }
  return bytes;
}

}  // namespace standin_test
