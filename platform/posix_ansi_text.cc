// The locale's character set stands in for the ANSI code page. glibc's iconv
// has no replacement character of its own (//TRANSLIT would write "e" for
// "é", which the Windows conversion does not), so unconvertible characters
// are replaced here, one UTF-8 sequence at a time.
#include <iconv.h>
#include <langinfo.h>
#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/exception.h"
#include "platform/ansi_text.h"

namespace platform {

namespace {

constexpr char kDefaultCharacter = '?';

bool IsUtf8Name(const char* AName) {
  return strcasecmp(AName, "UTF-8") == 0 || strcasecmp(AName, "utf8") == 0;
}

// The length of the UTF-8 sequence `ALead` starts, or 1 for a stray byte.
size_t SequenceLength(unsigned char ALead) {
  if (ALead >= 0xF0 && ALead <= 0xF4) return 4;
  if (ALead >= 0xE0) return ALead <= 0xEF ? 3 : 1;
  if (ALead >= 0xC2) return 2;
  return 1;
}

class Converter {
 public:
  explicit Converter(const char* ACodeSet) : FHandle(iconv_open(ACodeSet, "UTF-8")) {
    if (FHandle == reinterpret_cast<iconv_t>(-1)) {
      throw Exception(std::string("Cannot convert text to ") + ACodeSet + ": " +
                      std::strerror(errno));
    }
  }
  ~Converter() { iconv_close(FHandle); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::string Convert(std::string_view AText) {
    std::string out(AText.size() + 16, '\0');
    char* in = const_cast<char*>(AText.data());
    size_t inLeft = AText.size();
    size_t used = 0;
    while (inLeft > 0) {
      char* outAt = out.data() + used;
      size_t outLeft = out.size() - used;
      const size_t result = iconv(FHandle, &in, &inLeft, &outAt, &outLeft);
      used = out.size() - outLeft;
      if (result != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
      } else {  // EILSEQ, or EINVAL for a sequence cut short at the end
        const size_t skip = std::min(SequenceLength(static_cast<unsigned char>(*in)), inLeft);
        in += skip;
        inLeft -= skip;
        if (used == out.size()) out.resize(out.size() * 2);
        out[used++] = kDefaultCharacter;
      }
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t FHandle;
};

}  // namespace

bool AnsiCodePageIsUtf8() {
  return IsUtf8Name(nl_langinfo(CODESET));
}

std::string AnsiFromUtf8(std::string_view AText) {
  if (AnsiCodePageIsUtf8()) return std::string(AText);
  return Converter(nl_langinfo(CODESET)).Convert(AText);
}

}  // namespace platform
