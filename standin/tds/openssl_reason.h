// OpenSSL's reason for its latest failure on this thread, in words.
#pragma once

#include <string>

namespace standin::tds {

// The oldest error OpenSSL queued on this thread, which it then forgets with
// the rest; `AIfNone` when it queued none (a peer that just went away).
std::string OpenSslReason(const char* AIfNone);

}  // namespace standin::tds
