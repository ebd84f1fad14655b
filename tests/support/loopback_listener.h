// A listening TCP socket on 127.0.0.1, on a port the system picks: where the
// tests' own servers and proxies take their clients.
#pragma once

#include "unique_fd.h"

namespace standin_test {

struct LoopbackListener {
  UniqueFd fd;
  int port = 0;
};

// Throws std::system_error naming the call that failed.
LoopbackListener ListenOnLoopback();

}  // namespace standin_test
