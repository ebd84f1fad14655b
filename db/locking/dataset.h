// TVtLockingDataSet<TBase>: a table or query dataset of the program. It
// locks the record it edits or deletes across workstations (TVtRecordLock)
// and sets the defaults every program of the site uses: TVtMSDataSetOptions
// (TrimVarChar and QuoteNames on) and RefreshOptions {roBeforeEdit}.
//
//   Edit    takes the lock, then the base edit step; its failure releases
//   Delete  takes the lock (reusing the one an edit holds), the base delete
//           step, then releases, whether the delete succeeded or not
//   Post    the base post step, then releases after an edit (not an insert);
//           a failed post keeps the lock
//   Cancel  the base cancel step, then releases after an edit
//   Close   the base close step, then releases
#pragma once

#include <memory>
#include <string>

#include "core/exception.h"
#include "db/locking/dataset_options.h"
#include "db/locking/record_lock.h"
#include "db/locking/typed_connection.h"
#include "db/sqlserver/connection.h"

template <class TBase>
class TVtLockingDataSet : public TBase {
 public:
  // A closed dataset without connection, the protocol on.
  explicit TVtLockingDataSet(TComponent* AOwner) : TBase(AOwner) {
    this->SetRefreshOptions({roBeforeEdit});
  }
  // Closes here, since the base destructor cannot run this class's steps;
  // as in the base, freeing goes on whatever the close raised.
  ~TVtLockingDataSet() override {
    try {
      this->Close();
    } catch (const Exception&) {
    }
  }

  // The protocol switch; RecordLocksCheck is a second name for it.
  bool RecordLocksMake() const { return FLock.Enabled(); }
  virtual void SetRecordLocksMake(bool AValue) { FLock.SetEnabled(AValue); }
  bool RecordLocksCheck() const { return RecordLocksMake(); }
  void SetRecordLocksCheck(bool AValue) { SetRecordLocksMake(AValue); }

  // The bound connection; throws EInvalidCast when it is not a TMSConnection.
  TMSConnection* Connection() const { return AsMSConnection(TBase::Connection()); }
  void SetConnection(TMSConnection* AValue) { TBase::SetConnection(AValue); }

  TVtMSDataSetOptions& Options() const {
    return static_cast<TVtMSDataSetOptions&>(TBase::Options());
  }

  // Always "2.1".
  std::string VtVersion() const { return "2.1"; }

  // The held lock table's name; empty when none is held.
  const std::string& LockTableName() const { return FLock.LockTableName(); }

  // Whether the current record cannot be edited now. False with the
  // protocol off or closed; true while editing or inserting; false without
  // a record (nothing sent); otherwise tries Edit, true when it fails (the
  // error is dropped), and cancels an edit it began, releasing its lock.
  bool IsLocked() {
    if (!RecordLocksMake() || !this->Active()) return false;
    // An insert into an empty dataset has a record, the one being inserted.
    if (this->State() == dsEdit || this->State() == dsInsert) return true;
    if (this->IsEmpty()) return false;
    bool locked = false;
    try {
      this->Edit();
    } catch (...) {
      locked = true;
    }
    if (this->State() == dsEdit) this->Cancel();
    return locked;
  }

 protected:
  std::unique_ptr<TDADataSetOptions> CreateOptions() override {
    return std::make_unique<TVtMSDataSetOptions>(this);
  }

  void InternalEdit() override {
    FLock.Take();
    try {
      TBase::InternalEdit();
    } catch (...) {
      FLock.Release();
      throw;
    }
  }

  void InternalDelete() override {
    // Deleting the record this dataset edits: the lock is already ours.
    if (this->State() != dsEdit || FLock.LockTableName().empty()) FLock.Take();
    try {
      TBase::InternalDelete();
    } catch (...) {
      FLock.Release();
      throw;
    }
    FLock.Release();
  }

  void InternalPost() override {
    TBase::InternalPost();
    if (this->State() == dsEdit) FLock.Release();
  }

  void InternalCancel() override {
    TBase::InternalCancel();
    if (this->State() == dsEdit) FLock.Release();
  }

  void InternalClose() override {
    TBase::InternalClose();
    FLock.Release();
  }

 private:
  TVtRecordLock FLock{*this};
};
