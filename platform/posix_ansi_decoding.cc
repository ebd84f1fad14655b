// The locale's character set stands in for the ANSI code page, as for
// writing (posix_ansi_text.cc).
#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>

#include "core/exception.h"
#include "platform/ansi_decoding.h"
#include "platform/ansi_text.h"

namespace platform {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

class Decoder {
 public:
  explicit Decoder(const char* ACodeSet) : FHandle(iconv_open("UTF-8", ACodeSet)) {
    if (FHandle == reinterpret_cast<iconv_t>(-1)) {
      throw Exception(std::string("Cannot convert text from ") + ACodeSet + ": " +
                      std::strerror(errno));
    }
  }
  ~Decoder() { iconv_close(FHandle); }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  std::string Decode(std::string_view ABytes) {
    std::string out(ABytes.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(ABytes.data());
    size_t inLeft = ABytes.size();
    size_t used = 0;
    while (inLeft > 0) {
      char* outAt = out.data() + used;
      size_t outLeft = out.size() - used;
      const size_t result = iconv(FHandle, &in, &inLeft, &outAt, &outLeft);
      used = out.size() - outLeft;
      if (result != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
      } else {  // EILSEQ, or EINVAL for a multi-byte character cut short at the end
        ++in;
        --inLeft;
        if (out.size() - used < kReplacementCharacter.size()) out.resize(out.size() * 2);
        out.replace(used, kReplacementCharacter.size(), kReplacementCharacter);
        used += kReplacementCharacter.size();
      }
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t FHandle;
};

}  // namespace

std::string Utf8FromAnsi(std::string_view ABytes) {
  if (AnsiCodePageIsUtf8()) return std::string(ABytes);
  return Decoder(nl_langinfo(CODESET)).Decode(ABytes);
}

}  // namespace platform
