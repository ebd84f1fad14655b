// TDataSet: the generic dataset. It keeps the state (closed, browse, edit,
// insert), the cursor over the rows a derived class holds, the fields, the
// events, and the fixed sequences of opening, closing, editing and deleting
// around protected steps that derived classes override:
//
//   Open    BeforeOpen, InternalOpen, browse state on the first row, AfterOpen
//   Close   BeforeClose, Cancel when editing, InternalClose, closed, AfterClose
//   Edit    nothing when editing; an insert on a dataset without rows;
//           otherwise the modify check, BeforeEdit, InternalEdit, edit
//           state, AfterEdit
//   Post    nothing outside editing; BeforePost, InternalPost, browse, AfterPost
//   Cancel  nothing outside editing; BeforeCancel, InternalCancel, browse,
//           AfterCancel
//   Delete  Cancel while inserting; "empty dataset" error without rows;
//           otherwise the modify check, BeforeDelete, InternalDelete,
//           browse, AfterDelete
//
// A Post, Cancel or Delete step that closes the dataset (its connection
// lost on the way) ends the sequence there: the dataset stays closed.
//
// An EDatabaseError raised by InternalEdit, InternalPost or InternalDelete
// goes first to OnEditError / OnPostError / OnDeleteError, whose answer
// decides: daFail (the default) raises it, daAbort ends the operation
// silently, daRetry runs the step again. The data sources of the dataset
// are told whenever its current row or its contents change.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/component.h"
#include "db/errors/database_error.h"
#include "db/fields/field.h"
#include "db/values/variant.h"

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
enum TDataAction { daFail, daAbort, daRetry };

class TDataSet;
class TDataSource;

using TDataSetNotifyEvent = std::function<void(TDataSet*)>;
// Decides through `AAction` what happens to `AError`.
using TDataSetErrorEvent =
    std::function<void(TDataSet*, const EDatabaseError& AError, TDataAction& AAction)>;

class TDataSet : public TComponent {
 public:
  // A closed dataset owned by `AOwner` (may be null).
  explicit TDataSet(TComponent* AOwner);
  // Detaches its data sources and declared fields. It cannot run the close
  // step of a derived class: each class that has one closes in its own
  // destructor.
  ~TDataSet() override;

  TDataSetState State() const { return FState; }
  bool Active() const { return FState != dsInactive; }
  // true opens, false closes. While loading only the value is kept;
  // Loaded() opens when it was true and OpensWhenLoaded() agrees.
  void SetActive(bool AValue);
  // See the sequences above. A failure anywhere in opening leaves the
  // dataset closed and propagates.
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  void Loaded() override;

  // Moves to the first row; Eof() when there is none. Posts an edit first.
  void First();
  // Moves to the next row; from the last row sets Eof() without moving.
  // Posts an edit first.
  void Next();
  bool Eof() const { return FEof; }
  // True when closed or without rows.
  bool IsEmpty() const { return !Active() || GetRecordCount() == 0; }
  // The number of rows held; 0 when closed.
  int RecordCount() const { return Active() ? GetRecordCount() : 0; }

  // The visible fields: the declared ones when there are any (also while
  // closed), else those made on opening, one per column.
  int FieldCount() const;
  TField& Fields(int AIndex) const;
  // The visible field named `AFieldName` (case ignored) or null.
  TField* FindField(std::string_view AFieldName) const;
  // As FindField; throws EDatabaseError "Field '%s' not found" (with the
  // dataset's name) when there is none.
  TField& FieldByName(std::string_view AFieldName) const;

  void Edit();
  void Post();
  void Cancel();
  void Delete();
  // Reads the rows again (InternalRefresh) and tells the data sources.
  // Throws EDatabaseError "Cannot perform this operation on a closed
  // dataset" (with the dataset's name) when closed. Posts an edit first.
  void Refresh();

  // Throws EDatabaseError "Cannot perform this operation on a closed
  // dataset" / "... on an open dataset" (with the dataset's name).
  void CheckActive() const;
  void CheckInactive() const;

  void SetBeforeOpen(TDataSetNotifyEvent AEvent) { FBeforeOpen = std::move(AEvent); }
  void SetAfterOpen(TDataSetNotifyEvent AEvent) { FAfterOpen = std::move(AEvent); }
  void SetBeforeClose(TDataSetNotifyEvent AEvent) { FBeforeClose = std::move(AEvent); }
  void SetAfterClose(TDataSetNotifyEvent AEvent) { FAfterClose = std::move(AEvent); }
  void SetBeforeEdit(TDataSetNotifyEvent AEvent) { FBeforeEdit = std::move(AEvent); }
  void SetAfterEdit(TDataSetNotifyEvent AEvent) { FAfterEdit = std::move(AEvent); }
  void SetBeforeInsert(TDataSetNotifyEvent AEvent) { FBeforeInsert = std::move(AEvent); }
  void SetAfterInsert(TDataSetNotifyEvent AEvent) { FAfterInsert = std::move(AEvent); }
  void SetBeforePost(TDataSetNotifyEvent AEvent) { FBeforePost = std::move(AEvent); }
  void SetAfterPost(TDataSetNotifyEvent AEvent) { FAfterPost = std::move(AEvent); }
  void SetBeforeCancel(TDataSetNotifyEvent AEvent) { FBeforeCancel = std::move(AEvent); }
  void SetAfterCancel(TDataSetNotifyEvent AEvent) { FAfterCancel = std::move(AEvent); }
  void SetBeforeDelete(TDataSetNotifyEvent AEvent) { FBeforeDelete = std::move(AEvent); }
  void SetAfterDelete(TDataSetNotifyEvent AEvent) { FAfterDelete = std::move(AEvent); }
  void SetOnEditError(TDataSetErrorEvent AEvent) { FOnEditError = std::move(AEvent); }
  void SetOnPostError(TDataSetErrorEvent AEvent) { FOnPostError = std::move(AEvent); }
  void SetOnDeleteError(TDataSetErrorEvent AEvent) { FOnDeleteError = std::move(AEvent); }

 protected:
  // Opening: runs what yields the rows and binds the fields (BindFields).
  // The dataset is still closed while it runs; on failure InternalClose()
  // runs and the dataset stays closed.
  virtual void InternalOpen() = 0;
  // Releases the rows. A release step: must not throw.
  virtual void InternalClose() = 0;
  // Reads the rows again and places the cursor (SetCurrentRow).
  virtual void InternalRefresh() = 0;
  // The edit step; EditRow() is filled from the current row after it.
  virtual void InternalEdit() {}
  // The insert step; EditRow() is a row of nulls after it.
  virtual void InternalInsert() {}
  // The post step, still in edit or insert state: stores EditRow().
  virtual void InternalPost() = 0;
  // The cancel step, still in edit or insert state: drops the changes.
  virtual void InternalCancel() {}
  // The delete step: removes the current row.
  virtual void InternalDelete() = 0;
  // Whether Edit and Delete may change the rows; false raises "Cannot
  // modify a read-only dataset".
  virtual bool CanModify() const { return true; }
  // Whether Loaded() honours a stored open state.
  virtual bool OpensWhenLoaded() const { return true; }

  // The rows a derived class holds, each with GetColumnCount() values.
  virtual int GetRecordCount() const = 0;
  virtual int GetColumnCount() const = 0;
  virtual const std::vector<TVariant>& GetRow(int ARow) const = 0;

  // The current row's index (valid when the dataset has rows).
  int CurrentRow() const { return FCurrentRow; }
  // Stands on `ARow` (clamped into the rows), Eof() only without rows.
  void SetCurrentRow(int ARow);
  // The row being edited or inserted.
  std::vector<TVariant>& EditRow() { return FEditRow; }

  const std::vector<TField*>& DeclaredFields() const { return FDeclaredFields; }
  // Makes the declared `AField` read column `AColumn` of the rows.
  void BindField(TField& AField, int AColumn);
  // Adds a field made on opening that reads column `AColumn`.
  void AddCreatedField(std::unique_ptr<TField> AField, int AColumn);
  // Drops the fields made on opening and unbinds the declared ones.
  void ReleaseFields();

  // Tells the data sources that the current row or the rows changed.
  void DataChanged();

 private:
  friend class TField;
  friend class TDataSource;

  void DoOpen();
  void DoClose();
  void Insert();
  void CheckBrowseMode();
  void CheckCanModify() const;
  // Runs `AStep`, offering EDatabaseErrors to `AHandler`. False when the
  // handler answered daAbort.
  bool RunStep(void (TDataSet::*AStep)(), const TDataSetErrorEvent& AHandler);
  void Fire(const TDataSetNotifyEvent& AEvent) {
    if (AEvent) AEvent(this);
  }

  TVariant FieldValue(const TField& AField) const;
  void SetFieldValue(const TField& AField, const TVariant& AValue);
  void AddDeclaredField(TField* AField);
  void RemoveDeclaredField(TField* AField);
  void AddDataSource(TDataSource* ASource) { FDataSources.push_back(ASource); }
  void RemoveDataSource(TDataSource* ASource);

  TDataSetState FState = dsInactive;
  bool FStreamedActive = false;
  int FCurrentRow = 0;
  bool FEof = true;
  std::vector<TVariant> FEditRow;
  std::vector<TField*> FDeclaredFields;                 // not owned
  std::vector<std::unique_ptr<TField>> FCreatedFields;  // made on opening
  std::vector<TDataSource*> FDataSources;               // not owned

  TDataSetNotifyEvent FBeforeOpen, FAfterOpen, FBeforeClose, FAfterClose;
  TDataSetNotifyEvent FBeforeEdit, FAfterEdit, FBeforeInsert, FAfterInsert;
  TDataSetNotifyEvent FBeforePost, FAfterPost, FBeforeCancel, FAfterCancel;
  TDataSetNotifyEvent FBeforeDelete, FAfterDelete;
  TDataSetErrorEvent FOnEditError, FOnPostError, FOnDeleteError;
};
