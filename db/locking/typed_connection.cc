#include "db/locking/typed_connection.h"

#include "db/sqlserver/connection.h"

TMSConnection* AsMSConnection(TCustomDAConnection* AConnection) {
  if (!AConnection) return nullptr;
  auto* connection = dynamic_cast<TMSConnection*>(AConnection);
  if (!connection) throw EInvalidCast("Invalid class typecast");
  return connection;
}
