#include "db/vt_typed_connection.h"

#include "db/ms_connection.h"

TMSConnection* AsMSConnection(TCustomDAConnection* AConnection) {
  if (!AConnection) return nullptr;
  auto* connection = dynamic_cast<TMSConnection*>(AConnection);
  if (!connection) throw EInvalidCast("Invalid class typecast");
  return connection;
}
