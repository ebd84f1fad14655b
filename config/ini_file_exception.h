// The error raised when the site configuration file cannot be found or read.
#pragma once

#include "core/exception.h"

class EIniFileException : public Exception {
 public:
  using Exception::Exception;
};
