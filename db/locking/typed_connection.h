// The program's datasets are bound to TMSConnection or a class derived from
// it; reading the binding back as anything else is a programming error.
#pragma once

#include "core/exception.h"

class TCustomDAConnection;
class TMSConnection;

class EInvalidCast : public Exception {
 public:
  using Exception::Exception;
};

// `AConnection` as a TMSConnection; null for null. Throws EInvalidCast
// "Invalid class typecast" when it is a connection of another class.
TMSConnection* AsMSConnection(TCustomDAConnection* AConnection);
