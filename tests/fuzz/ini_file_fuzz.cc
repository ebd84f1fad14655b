// Any bytes as a site configuration file: decoding and parsing must not
// fail, and every value read comes back trimmed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/ini_text.h"
#include "config/ini_values.h"

namespace {

bool IsTrimmed(const std::string& AValue) {
  return AValue.empty() || (static_cast<unsigned char>(AValue.front()) > 32 &&
                            static_cast<unsigned char>(AValue.back()) > 32);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  const TIniValues values = TIniValues::Parse(
      IniTextFromBytes(std::string_view(reinterpret_cast<const char*>(AData), ASize)));
  constexpr std::string_view kKeys[][2] = {{"Paths", "HelpPath"},
                                           {"Paths", "LogPath"},
                                           {"Server", "ServerKey"},
                                           {"Paths", "LibPath"},
                                           {"DataProvider", "ConnStr"}};
  for (const auto& key : kKeys) {
    if (!IsTrimmed(values.ReadString(key[0], key[1], ""))) std::abort();
  }
  values.ReadBool("Paging", "Enabled", false);
  return 0;
}
