// EReadError: a stored description that cannot be restored as written (bad
// syntax, an unknown class or property, a value of the wrong kind, a name
// that no component has).
#pragma once

#include "core/exception.h"

class EReadError : public Exception {
 public:
  using Exception::Exception;
};
