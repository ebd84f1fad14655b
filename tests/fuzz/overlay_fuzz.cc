// Any two texts as a base connection string and an overlay (the input split
// at its first NUL byte): applying the overlay must not fail, and the result
// grows by no more than the overlay's own text, since every name the overlay
// sets ends up in one entry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/connection_string_overlay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  const std::string_view input(reinterpret_cast<const char*>(AData), ASize);
  const size_t split = input.find('\0');
  const std::string base(input.substr(0, split));
  const std::string overlay(split == std::string_view::npos ? "" : input.substr(split + 1));
  const std::string result = OverlayConnectionString(base, overlay);
  if (result.size() > base.size() + overlay.size() + 1) std::abort();
  return 0;
}
