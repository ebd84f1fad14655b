// TVtRecordLock: the record lock one table or query dataset holds while it
// edits or deletes a record, kept as a global temporary table on the server
// (db/locking/statements.h) so that it holds across workstations and programs.
#pragma once

#include <string>

class TCustomMSDataSet;

class TVtRecordLock {
 public:
  // No lock, the protocol on, for `ADataSet` (not owned).
  explicit TVtRecordLock(TCustomMSDataSet& ADataSet) : FDataSet(ADataSet) {}
  TVtRecordLock(const TVtRecordLock&) = delete;
  TVtRecordLock& operator=(const TVtRecordLock&) = delete;

  // The protocol switch. Off, neither Take nor Release does anything, and a
  // lock still held stays until its session ends.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool AValue) { FEnabled = AValue; }

  // The held lock table's name; empty when none is held.
  const std::string& LockTableName() const { return FLockTableName; }

  // Locks the current record: nothing without a connection or a field named
  // UniqueKey. A lock table the server will not create (someone holds the
  // record, or the name is not acceptable) raises EVtDBLockError
  // (db/locking/refusal.h) and holds nothing, unless the session was lost on
  // the way: then the connection's error is raised as it came. A failure
  // writing the holder's row drops the table again and raises that failure.
  void Take();
  // Drops the held lock table; errors are swallowed and the lock is
  // forgotten either way. Never throws.
  void Release() noexcept;

 private:
  TCustomMSDataSet& FDataSet;
  std::string FLockTableName;
  bool FEnabled = true;
};
