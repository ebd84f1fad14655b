// A private stand-in holding a table whose records carry a UniqueKey
// column, the program's connection to it, and ways to watch the lock
// protocol: the statements it sent, in order, and whether a lock table
// exists.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dataset_fixture.h"
#include "db/locking/table.h"

namespace record_lock_test {

class RecordLockFixture : public dataset_test::DatasetFixture {
 protected:
  // RECLOCK (UniqueKey varchar(150) key, NAME varchar(30)) holds the keys
  // "K1", "K2" and "it's]9" in that order.
  RecordLockFixture();

  // A closed connection to the stand-in, as another workstation's.
  std::unique_ptr<TMSConnection> NewConnection() const;
  // An open TVtMSTable on RECLOCK through `AConnection`, owned by the test,
  // standing on K1.
  std::unique_ptr<TVtMSTable> OpenTable(TMSConnection& AConnection) const;

  // The lock table's name for RECLOCK's `AKey` (on the fixture's database).
  std::string LockName(const std::string& AKey);
  // Whether the server has a lock table named `AName`.
  bool LockExists(const std::string& AName);

  // The statements of the lock protocol and the changes of RECLOCK sent
  // after the first `ASkip` requests, each as its first word ("CREATE",
  // "INSERT", "SELECT", "DROP", "UPDATE", "DELETE"); re-reads of RECLOCK are
  // left out.
  std::vector<std::string> LockStatementsAfter(std::size_t ASkip) const;
};

}  // namespace record_lock_test
