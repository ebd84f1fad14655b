#include "db/access/connection.h"
#include "db/access/dataset.h"
#include "db/access/update_statements.h"
#include "db/values/same_text.h"

namespace {

bool IsLargeObject(TFieldType AType) {
  return AType == ftBlob || AType == ftMemo || AType == ftWideMemo;
}

}  // namespace

std::string TCustomDADataSet::TableToUpdate() const {
  std::string table = UpdatingTable();
  if (table.empty()) {
    throw EDatabaseError(ComponentMessage(this, "Table name for updating is not defined"));
  }
  return table;
}

const std::vector<int>& TCustomDADataSet::KeyColumns() {
  if (FKeyColumns) return *FKeyColumns;
  std::vector<std::string> names;
  const std::string table = UpdatingTable();
  if (!table.empty()) {
    try {
      names = Command().PrimaryKeyColumns(table);
    } catch (const EOLEDBError& error) {
      FConnection->CheckSessionAfterError(error);
      throw;
    }
  }
  std::vector<int> keys;
  for (const std::string& name : names) {
    for (std::size_t i = 0; i < Columns().size(); ++i) {
      if (SameText(Columns()[i].Name, name)) keys.push_back(static_cast<int>(i));
    }
  }
  if (names.empty() || keys.size() != names.size()) {
    keys.clear();
    for (std::size_t i = 0; i < Columns().size(); ++i) {
      if (!IsLargeObject(Columns()[i].DataType)) keys.push_back(static_cast<int>(i));
    }
  }
  FKeyColumns = std::move(keys);
  return *FKeyColumns;
}

TCustomDADataSet& TCustomDADataSet::RunGenerated(const TGeneratedStatement& AStatement,
                                                 bool AOpen) {
  if (FUpdateDataSet == nullptr) FUpdateDataSet = FConnection->CreateDataSet(this);
  TCustomDADataSet& update = *FUpdateDataSet;
  update.SQL().SetText(AStatement.Text);
  for (std::size_t i = 0; i < AStatement.Params.size(); ++i) {
    TParam& param = update.Params().Items(static_cast<int>(i));
    param.SetDataType(AStatement.Params[i].DataType);
    param.SetParamType(ptInput);
    param.SetValue(AStatement.Params[i].Value);
  }
  if (AOpen) {
    update.Open();
  } else {
    update.Execute();
  }
  return update;
}

void TCustomDADataSet::InternalEdit() {
  if (FRefreshOptions.Contains(roBeforeEdit)) RereadCurrentRow();
}

void TCustomDADataSet::RereadCurrentRow() {
  ConnectionUse use(*this);
  const std::string table = TableToUpdate();
  TCustomDADataSet& update = RunGenerated(
      SelectRowStatement({table, Columns(), KeyColumns()}, GetRow(CurrentRow())), true);
  const int found = update.RecordCount();
  if (found != 1) {
    update.Close();
    throw EDatabaseError(
        ComponentMessage(this, "Refresh failed. Found " + std::to_string(found) + " records"));
  }
  odbc::TResultSet reread;
  reread.Columns = Columns();
  reread.Rows.push_back(GetRow(CurrentRow()));
  for (int i = 0; i < update.FieldCount(); ++i) {
    for (std::size_t column = 0; column < reread.Columns.size(); ++column) {
      if (SameText(reread.Columns[column].Name, update.Fields(i).FieldName())) {
        reread.Rows[0][column] = update.Fields(i).Value();
      }
    }
  }
  update.Close();
  TrimValues(reread);
  Rows().at(CurrentRow()) = std::move(reread.Rows[0]);
}

void TCustomDADataSet::InternalPost() {
  ConnectionUse use(*this);
  const std::string table = TableToUpdate();
  const TRowTarget target{table, Columns(), KeyColumns()};
  const TGeneratedStatement statement =
      State() == dsInsert ? InsertRowStatement(target, EditRow())
                          : UpdateRowStatement(target, GetRow(CurrentRow()), EditRow());
  if (!statement.Text.empty()) RunGenerated(statement, false);
  TMemDataSet::InternalPost();
}

void TCustomDADataSet::InternalDelete() {
  ConnectionUse use(*this);
  const std::string table = TableToUpdate();
  RunGenerated(DeleteRowStatement({table, Columns(), KeyColumns()}, GetRow(CurrentRow())), false);
  TMemDataSet::InternalDelete();
}
