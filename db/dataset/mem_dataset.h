// TMemDataSet: a dataset whose whole result is held in memory, and the
// master/detail link (MasterSource, MasterFields, DetailFields) that a
// derived class acts on when the master changes.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "db/dataset/data_source.h"
#include "db/dataset/dataset.h"
#include "db/odbc/command.h"

class TMemDataSet : public TDataSet, private TDataSourceClient {
 public:
  // Leaves its master source.
  ~TMemDataSet() override;

  // The data source of the master; null when none.
  TDataSource* MasterSource() const { return FMasterSource; }
  void SetMasterSource(TDataSource* AValue);
  // Link columns of the master and of this dataset, names separated by ";".
  const std::string& MasterFields() const { return FMasterFields; }
  void SetMasterFields(const std::string& AValue) { FMasterFields = AValue; }
  const std::string& DetailFields() const { return FDetailFields; }
  void SetDetailFields(const std::string& AValue) { FDetailFields = AValue; }

  // True when MasterSource is set and both field lists are non-empty.
  bool IsDetail() const;
  // The (detail column, master column) pairs, by position; pairing stops at
  // the end of the shorter list. Names are trimmed.
  std::vector<std::pair<std::string, std::string>> LinkPairs() const;
  // The master's dataset; null when there is none.
  TDataSet* MasterDataSet() const;

 protected:
  explicit TMemDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

  // Takes `AResult`'s rows. With `AKeepFields` and the same columns as
  // before, the fields stay as they are; otherwise they are bound again:
  // declared fields to the columns of their names (EDatabaseError "Field
  // '%s' not found" and the checks of BindDeclaredField, for this dataset),
  // or, without declared fields, one new field per column.
  void LoadResult(odbc::TResultSet AResult, bool AKeepFields);
  const std::vector<odbc::TColumnInfo>& Columns() const { return FColumns; }
  std::vector<std::vector<TVariant>>& Rows() { return FRows; }

  // The master opened, closed, moved or changed its rows.
  virtual void MasterChanged() = 0;

  int GetRecordCount() const override { return static_cast<int>(FRows.size()); }
  int GetColumnCount() const override { return static_cast<int>(FColumns.size()); }
  const std::vector<TVariant>& GetRow(int ARow) const override { return FRows.at(ARow); }

  // Drops the rows.
  void InternalClose() override;
  // Stores the edit buffer in the current row, or as a new last row that
  // becomes current.
  void InternalPost() override;
  // Removes the current row.
  void InternalDelete() override;

 private:
  void DataSourceChanged(TDataSource*) override { MasterChanged(); }
  void DataSourceFreed(TDataSource*) override { FMasterSource = nullptr; }
  void BindFields();

  TDataSource* FMasterSource = nullptr;  // not owned
  std::string FMasterFields;
  std::string FDetailFields;
  std::vector<odbc::TColumnInfo> FColumns;
  std::vector<std::vector<TVariant>> FRows;
};
