// Decoding of one RPC parameter: name, status, TYPE_INFO and value, into the
// engine's types and value forms (see sql_value.h).
#pragma once

#include "byte_reader.h"
#include "sql_value.h"

namespace standin::tds {

// Reads the parameter at the reader's position; throws ProtocolError if it is
// malformed or of a type the stand-in does not serve.
Param ReadParam(ByteReader& in);

}  // namespace standin::tds
