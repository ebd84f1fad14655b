#include "db/access/connection.h"
#include "db/access/dataset.h"
#include "db/access/sql_names.h"

void TCustomDADataSet::AssignLinkValues() {
  TDataSet* master = MasterDataSet();
  if (master != nullptr && master->Active()) {
    for (int i = 0; i < FParams->Count(); ++i) {
      TParam& param = FParams->Items(i);
      if (const TField* field = master->FindField(param.Name())) {
        param.SetDataType(field->DataType());
        param.SetParamType(ptInput);
        param.SetValue(field->Value());
      }
    }
    return;
  }
  for (const auto& pair : LinkPairs()) {
    if (TParam* param = FParams->FindParam(UnquoteName(pair.second))) {
      param->SetDataType(ftString);
      param->Clear();
    }
  }
}

bool TCustomDADataSet::LinkValuesChanged() const {
  TDataSet* master = MasterDataSet();
  if (master == nullptr || !master->Active()) return true;
  for (int i = 0; i < FParams->Count(); ++i) {
    const TParam& param = FParams->Items(i);
    const TField* field = master->FindField(param.Name());
    if (field != nullptr && (param.IsNull() || !(param.Value() == field->Value()))) return true;
  }
  return false;
}

void TCustomDADataSet::MasterChanged() {
  if (!Active() || !IsDetail() || !LinkValuesChanged()) return;
  Cancel();
  TDataSet* master = MasterDataSet();
  if (master != nullptr && master->Active()) {
    ConnectionUse use(*this);
    LoadStatementResult(true, true);
  } else {
    // Null link values match no row, so the server is not asked. This also
    // keeps a master closed by a disconnect from sending through the
    // session being released.
    AssignLinkValues();
    odbc::TResultSet none;
    none.Columns = Columns();
    LoadResult(std::move(none), true);
  }
  SetCurrentRow(0);
  DataChanged();
}
