#include "db/locking/record_lock.h"

#include "db/locking/refusal.h"
#include "db/locking/statements.h"
#include "db/odbc/connect_settings.h"
#include "db/sqlserver/connection.h"
#include "db/sqlserver/dataset.h"
#include "platform/identity.h"
#include "platform/regional_date_time.h"

namespace {

const char kKeyField[] = "UniqueKey";

}  // namespace

void TVtRecordLock::Take() {
  if (!FEnabled) return;
  TCustomMSConnection* connection = FDataSet.Connection();
  TField* key = FDataSet.FindField(kKeyField);
  if (!connection || !key) {
    FLockTableName.clear();
    return;
  }
  const std::string table = FDataSet.UpdatingTable();
  FLockTableName = ::LockTableName(connection->Database(), table, key->AsString());
  try {
    connection->ExecSQL(CreateLockTableStatement(FLockTableName));
  } catch (...) {
    // A session lost on the way refused nothing: its own error tells the
    // operator what happened, where a refusal would have them wait for a
    // holder who may not exist.
    if (!connection->Connected()) {
      FLockTableName.clear();
      throw;
    }
    // Why the server refused does not matter to the operator; who holds
    // the record does.
    EVtDBLockError refusal = LockRefusal(*connection, FLockTableName);
    FLockTableName.clear();
    throw refusal;
  }
  try {
    const TLockHolder holder{connection->Database(), table,
                             key->AsString(),        platform::ComputerName(),
                             platform::UserName(),   odbc::ProgramFileName(),
                             platform::LocalNow()};
    connection->ExecSQL(InsertHolderStatement(FLockTableName, holder));
  } catch (...) {
    Release();
    throw;
  }
}

void TVtRecordLock::Release() noexcept {
  if (!FEnabled) return;
  TCustomMSConnection* connection = FDataSet.Connection();
  if (!connection || FLockTableName.empty()) return;
  const std::string name = std::move(FLockTableName);
  FLockTableName.clear();
  // Without a session the server has dropped the table already; a DROP
  // would only connect again to fail.
  if (!connection->Connected()) return;
  try {
    connection->ExecSQL("DROP TABLE " + name);
  } catch (...) {
    // The table then lives until the session ends; nothing better to do.
  }
}
