#include "record_lock_fixture.h"

#include "db/locking/statements.h"
#include "odbc_error.h"

namespace record_lock_test {

RecordLockFixture::RecordLockFixture() {
  FSetup.Exec(
      "CREATE TABLE RECLOCK (UniqueKey varchar(150) NOT NULL PRIMARY KEY, NAME varchar(30))");
  FSetup.Exec("INSERT INTO RECLOCK VALUES ('K1', 'one'), ('K2', 'two'), ('it''s]9', 'odd')");
}

std::unique_ptr<TMSConnection> RecordLockFixture::NewConnection() const {
  auto connection = std::make_unique<TMSConnection>(nullptr);
  connection->SetServer("127.0.0.1");
  connection->SetPort(FServer.port());
  return connection;
}

std::unique_ptr<TVtMSTable> RecordLockFixture::OpenTable(TMSConnection& AConnection) const {
  auto table = std::make_unique<TVtMSTable>(nullptr);
  table->SetName("tblRecLock");
  table->SetConnection(&AConnection);
  table->SetTableName("RECLOCK");
  table->Open();
  while (!table->Eof() && table->FieldByName("UniqueKey").AsString() != "K1") table->Next();
  return table;
}

std::string RecordLockFixture::LockName(const std::string& AKey) {
  if (!FConnection.Connected()) FConnection.Connect();
  return LockTableName(FConnection.Database(), "RECLOCK", AKey);
}

bool RecordLockFixture::LockExists(const std::string& AName) {
  try {
    FSetup.Exec("SELECT * FROM " + AName);
    return true;
  } catch (const standin_test::OdbcError&) {
    return false;
  }
}

std::vector<std::string> RecordLockFixture::LockStatementsAfter(std::size_t ASkip) const {
  std::vector<std::string> kinds;
  for (const std::string& request : RequestsAfter(ASkip)) {
    const bool lock = request.find("##LOCK-") != std::string::npos;
    const bool change = request.find("UPDATE ") != std::string::npos ||
                        request.find("DELETE FROM") != std::string::npos;
    if (!lock && !change) continue;
    for (const char* kind : {"CREATE", "INSERT", "SELECT", "DROP", "UPDATE", "DELETE"}) {
      if (request.find(kind) != std::string::npos) {
        kinds.push_back(kind);
        break;
      }
    }
  }
  return kinds;
}

}  // namespace record_lock_test
