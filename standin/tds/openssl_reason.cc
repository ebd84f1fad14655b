#include "openssl_reason.h"

#include <openssl/err.h>

namespace standin::tds {

std::string OpenSslReason(const char* AIfNone) {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  if (code == 0) return AIfNone;
  char text[256];
  ERR_error_string_n(code, text, sizeof text);
  return text;
}

}  // namespace standin::tds
