#include "db/dataset/dataset.h"

#include <algorithm>

#include "db/dataset/data_source.h"
#include "db/values/same_text.h"

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
  const std::vector<TDataSource*> sources = FDataSources;
  for (TDataSource* source : sources) source->DataSetFreed();
  ReleaseFields();
  for (TField* field : FDeclaredFields) field->FDataSet = nullptr;
}

void TDataSet::SetActive(bool AValue) {
  if (ComponentState().Contains(csLoading)) {
    FStreamedActive = AValue;
    return;
  }
  if (AValue == Active()) return;
  if (AValue) {
    DoOpen();
  } else {
    DoClose();
  }
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  const bool open = FStreamedActive;
  FStreamedActive = false;
  if (open && OpensWhenLoaded()) Open();
}

void TDataSet::DoOpen() {
  Fire(FBeforeOpen);
  try {
    InternalOpen();
  } catch (...) {
    InternalClose();
    ReleaseFields();
    throw;
  }
  FState = dsBrowse;
  SetCurrentRow(0);
  Fire(FAfterOpen);
  DataChanged();
}

void TDataSet::DoClose() {
  Fire(FBeforeClose);
  if (FState == dsEdit || FState == dsInsert) Cancel();
  InternalClose();
  FState = dsInactive;
  FCurrentRow = 0;
  FEof = true;
  ReleaseFields();
  Fire(FAfterClose);
  DataChanged();
}

void TDataSet::First() {
  CheckActive();
  CheckBrowseMode();
  SetCurrentRow(0);
  DataChanged();
}

void TDataSet::Next() {
  CheckActive();
  CheckBrowseMode();
  if (FCurrentRow + 1 < GetRecordCount()) {
    ++FCurrentRow;
    FEof = false;
  } else {
    FEof = true;
  }
  DataChanged();
}

void TDataSet::SetCurrentRow(int ARow) {
  const int count = GetRecordCount();
  FCurrentRow = std::clamp(ARow, 0, std::max(count - 1, 0));
  FEof = count == 0;
}

int TDataSet::FieldCount() const {
  return static_cast<int>(FDeclaredFields.empty() ? FCreatedFields.size() : FDeclaredFields.size());
}

TField& TDataSet::Fields(int AIndex) const {
  return FDeclaredFields.empty() ? *FCreatedFields.at(AIndex) : *FDeclaredFields.at(AIndex);
}

TField* TDataSet::FindField(std::string_view AFieldName) const {
  for (int i = 0; i < FieldCount(); ++i) {
    if (SameText(Fields(i).FieldName(), AFieldName)) return &Fields(i);
  }
  return nullptr;
}

TField& TDataSet::FieldByName(std::string_view AFieldName) const {
  TField* field = FindField(AFieldName);
  if (field == nullptr) {
    throw EDatabaseError(
        ComponentMessage(this, "Field '" + std::string(AFieldName) + "' not found"));
  }
  return *field;
}

void TDataSet::Edit() {
  if (FState == dsEdit || FState == dsInsert) return;
  CheckActive();
  if (GetRecordCount() == 0) {
    Insert();
    return;
  }
  CheckCanModify();
  Fire(FBeforeEdit);
  if (!RunStep(&TDataSet::InternalEdit, FOnEditError)) return;
  FEditRow = GetRow(FCurrentRow);
  FState = dsEdit;
  Fire(FAfterEdit);
}

void TDataSet::Insert() {
  CheckCanModify();
  Fire(FBeforeInsert);
  InternalInsert();
  FEditRow.assign(GetColumnCount(), TVariant());
  FState = dsInsert;
  Fire(FAfterInsert);
}

void TDataSet::Post() {
  if (FState != dsEdit && FState != dsInsert) return;
  Fire(FBeforePost);
  if (!RunStep(&TDataSet::InternalPost, FOnPostError)) return;
  // A step that loses the connection has closed the dataset; it stays closed.
  if (!Active()) return;
  FState = dsBrowse;
  FEditRow.clear();
  Fire(FAfterPost);
  DataChanged();
}

void TDataSet::Cancel() {
  if (FState != dsEdit && FState != dsInsert) return;
  Fire(FBeforeCancel);
  InternalCancel();
  if (!Active()) return;
  FState = dsBrowse;
  FEditRow.clear();
  Fire(FAfterCancel);
  DataChanged();
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert) {
    Cancel();
    return;
  }
  if (GetRecordCount() == 0) {
    throw EDatabaseError(
        ComponentMessage(this, "Cannot perform this operation on an empty dataset"));
  }
  CheckCanModify();
  Fire(FBeforeDelete);
  if (!RunStep(&TDataSet::InternalDelete, FOnDeleteError)) return;
  if (!Active()) return;
  FState = dsBrowse;
  FEditRow.clear();
  SetCurrentRow(FCurrentRow);
  Fire(FAfterDelete);
  DataChanged();
}

void TDataSet::Refresh() {
  CheckActive();
  CheckBrowseMode();
  InternalRefresh();
  DataChanged();
}

void TDataSet::CheckActive() const {
  if (!Active()) {
    throw EDatabaseError(
        ComponentMessage(this, "Cannot perform this operation on a closed dataset"));
  }
}

void TDataSet::CheckInactive() const {
  if (Active()) {
    throw EDatabaseError(
        ComponentMessage(this, "Cannot perform this operation on an open dataset"));
  }
}

void TDataSet::CheckBrowseMode() {
  if (FState == dsEdit || FState == dsInsert) Post();
}

void TDataSet::CheckCanModify() const {
  if (!CanModify())
    throw EDatabaseError(ComponentMessage(this, "Cannot modify a read-only dataset"));
}

bool TDataSet::RunStep(void (TDataSet::*AStep)(), const TDataSetErrorEvent& AHandler) {
  for (;;) {
    try {
      (this->*AStep)();
      return true;
    } catch (const EDatabaseError& error) {
      TDataAction action = daFail;
      if (AHandler) AHandler(this, error, action);
      if (action == daFail) throw;
      if (action == daAbort) return false;
    }
  }
}

TVariant TDataSet::FieldValue(const TField& AField) const {
  if (AField.FColumn < 0) return TVariant();
  if (FState == dsEdit || FState == dsInsert) return FEditRow.at(AField.FColumn);
  if (FState == dsInactive || GetRecordCount() == 0) return TVariant();
  return GetRow(FCurrentRow).at(AField.FColumn);
}

void TDataSet::SetFieldValue(const TField& AField, const TVariant& AValue) {
  if (FState != dsEdit && FState != dsInsert) {
    throw EDatabaseError(ComponentMessage(this, "Dataset not in edit or insert mode"));
  }
  FEditRow.at(AField.FColumn) = AValue;
}

void TDataSet::BindField(TField& AField, int AColumn) {
  AField.FColumn = AColumn;
}

void TDataSet::AddCreatedField(std::unique_ptr<TField> AField, int AColumn) {
  AField->FDataSet = this;
  AField->FColumn = AColumn;
  FCreatedFields.push_back(std::move(AField));
}

void TDataSet::ReleaseFields() {
  for (auto& field : FCreatedFields) field->FDataSet = nullptr;
  FCreatedFields.clear();
  for (TField* field : FDeclaredFields) field->FColumn = -1;
}

void TDataSet::DataChanged() {
  const std::vector<TDataSource*> sources = FDataSources;
  for (TDataSource* source : sources) source->DataSetChanged();
}

void TDataSet::AddDeclaredField(TField* AField) {
  FDeclaredFields.push_back(AField);
  AField->FDataSet = this;
}

void TDataSet::RemoveDeclaredField(TField* AField) {
  std::erase(FDeclaredFields, AField);
  AField->FDataSet = nullptr;
}

void TDataSet::RemoveDataSource(TDataSource* ASource) {
  std::erase(FDataSources, ASource);
}
