// The error raised when an existing file cannot be opened for reading.
#pragma once

#include "core/exception.h"

class EFOpenError : public Exception {
 public:
  using Exception::Exception;
};
